// The page's DOM events, delivered to the C++ side one at a time (window/web/events.h): the
// script listens where it is told, keeps the event while the C++ side reads it, and does what it
// is told with it. While the window's message is open, the C++ side waits inside its call that
// opened it (message.js), and nothing is delivered: the window is inert under the modal message
// then, and an event during whose delivery the message opened goes no further.
mergeInto(LibraryManager.library, {
  // The event being delivered, and whether the C++ side is waiting for the message.
  $korvaneEvents: {current: null, waiting: false},

  korvane_events_listen__deps: ['$korvaneEvents', '$korvaneText', '$korvaneElement'],
  korvane_events_listen: function (type, typeLength, root, rootLength, deferred) {
    var deliver = function (event) {
      if (korvaneEvents.waiting) {
        return;
      }
      korvaneEvents.current = event;
      try {
        _korvane_event();
      } finally {
        korvaneEvents.current = null;
      }
      if (korvaneEvents.waiting) {
        event.preventDefault();
      }
    };
    var on = rootLength > 0 ? korvaneElement(root, rootLength) : document;
    on.addEventListener(korvaneText(type, typeLength), deferred ? function (event) {
      setTimeout(deliver, 0, event);
    } : deliver, true);
  },

  korvane_event_target__deps: ['$korvaneEvents', '$korvaneOut'],
  korvane_event_target: function (buffer, capacity) {
    var e = korvaneEvents.current;
    var element = e && e.target instanceof Element ? e.target.closest('[id]') : null;
    return korvaneOut(element ? element.id : '', buffer, capacity);
  },

  korvane_event_text__deps: ['$korvaneEvents', '$korvaneText', '$korvaneOut16'],
  korvane_event_text: function (property, propertyLength, buffer, capacity) {
    var e = korvaneEvents.current;
    var value = e ? e[korvaneText(property, propertyLength)] : null;
    return korvaneOut16(typeof value === 'string' ? value : '', buffer, capacity);
  },

  korvane_event_flag__deps: ['$korvaneEvents', '$korvaneText'],
  korvane_event_flag: function (property, propertyLength) {
    var e = korvaneEvents.current;
    return e && e[korvaneText(property, propertyLength)] === true ? 1 : 0;
  },

  korvane_event_take__deps: ['$korvaneEvents'],
  korvane_event_take: function () {
    if (korvaneEvents.current) {
      korvaneEvents.current.preventDefault();
    }
  },
});
