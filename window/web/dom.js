// The page's elements as the C++ side builds them: made by tag and id, given attributes, style
// properties and text. Every string arrives as a pointer and a length of UTF-8 in the module's
// memory, so any text, NULs included, arrives whole. Elements are found by their id, which is
// the control's name.
mergeInto(LibraryManager.library, {
  $korvaneText: function (pointer, length) {
    return new TextDecoder().decode(HEAPU8.subarray(pointer, pointer + length));
  },

  $korvaneElement: function (pointer, length) {
    var id = korvaneText(pointer, length);
    var element = document.getElementById(id);
    if (!element) {
      throw new Error('korvane: no element "' + id + '"');
    }
    return element;
  },

  // Copies a text as UTF-8 into the module's buffer of `capacity` bytes as far as it goes, and
  // answers its whole length, for the caller to ask again with room enough.
  $korvaneOut: function (text, buffer, capacity) {
    var bytes = new TextEncoder().encode(text);
    HEAPU8.set(bytes.subarray(0, capacity), buffer);
    return bytes.length;
  },

  // The same for UTF-16 code units, which reach the C++ side as they are, lone surrogates too.
  $korvaneOut16: function (text, buffer, capacity) {
    var n = Math.min(text.length, capacity);
    for (var i = 0; i < n; ++i) {
      HEAPU16[(buffer >> 1) + i] = text.charCodeAt(i);
    }
    return text.length;
  },

  // UTF-16 code units of the module's memory as a string, piece by piece for a long text.
  $korvaneUnits: function (pointer, length) {
    var text = '';
    for (var at = 0; at < length; at += 8192) {
      var end = Math.min(length, at + 8192);
      text += String.fromCharCode.apply(null, HEAPU16.subarray((pointer >> 1) + at, (pointer >> 1) + end));
    }
    return text;
  },

  // A new element of that tag (an SVG one for "svg" and "line") with that id, the last child
  // of the element `parent`, or of the body when `parent` is empty.
  korvane_dom_create__deps: ['$korvaneText', '$korvaneElement'],
  korvane_dom_create: function (tag, tagLength, id, idLength, parent, parentLength) {
    var name = korvaneText(tag, tagLength);
    var svg = name === 'svg' || name === 'line';
    var element = svg ? document.createElementNS('http://www.w3.org/2000/svg', name)
                      : document.createElement(name);
    if (idLength > 0) {
      element.id = korvaneText(id, idLength);
    }
    var into = parentLength > 0 ? korvaneElement(parent, parentLength) : document.body;
    into.appendChild(element);
  },

  korvane_dom_set_attribute__deps: ['$korvaneText', '$korvaneElement'],
  korvane_dom_set_attribute: function (id, idLength, name, nameLength, value, valueLength) {
    korvaneElement(id, idLength).setAttribute(korvaneText(name, nameLength),
                                              korvaneText(value, valueLength));
  },

  korvane_dom_set_style__deps: ['$korvaneText', '$korvaneElement'],
  korvane_dom_set_style: function (id, idLength, name, nameLength, value, valueLength) {
    korvaneElement(id, idLength).style.setProperty(korvaneText(name, nameLength),
                                                   korvaneText(value, valueLength));
  },

  // The text of an element: a box's value, any other element's text content.
  korvane_dom_set_text__deps: ['$korvaneText', '$korvaneElement'],
  korvane_dom_set_text: function (id, idLength, text, textLength) {
    var element = korvaneElement(id, idLength);
    var value = korvaneText(text, textLength);
    if (element instanceof HTMLInputElement) {
      element.value = value;
    } else {
      element.textContent = value;
    }
  },

  // A box's value as UTF-8, into a buffer of `capacity` bytes: answers its whole length.
  korvane_dom_value__deps: ['$korvaneElement', '$korvaneOut'],
  korvane_dom_value: function (id, idLength, buffer, capacity) {
    return korvaneOut(korvaneElement(id, idLength).value, buffer, capacity);
  },

  korvane_dom_set_disabled__deps: ['$korvaneElement'],
  korvane_dom_set_disabled: function (id, idLength, disabled) {
    korvaneElement(id, idLength).disabled = disabled !== 0;
  },

  korvane_dom_is_disabled__deps: ['$korvaneElement'],
  korvane_dom_is_disabled: function (id, idLength) {
    return korvaneElement(id, idLength).disabled === true ? 1 : 0;
  },

  korvane_dom_focus__deps: ['$korvaneElement'],
  korvane_dom_focus: function (id, idLength) {
    korvaneElement(id, idLength).focus();
  },

  // The id of the element inside the element `root` that has the focus; none when the focus is
  // anywhere else (the message, the browser's own parts, another program).
  korvane_dom_focused__deps: ['$korvaneElement', '$korvaneOut'],
  korvane_dom_focused: function (root, rootLength, buffer, capacity) {
    var focused = document.activeElement;
    var inside = focused && focused !== document.body &&
                 korvaneElement(root, rootLength).contains(focused);
    return korvaneOut(inside ? focused.id : '', buffer, capacity);
  },

  korvane_dom_select_all__deps: ['$korvaneElement'],
  korvane_dom_select_all: function (id, idLength) {
    korvaneElement(id, idLength).select();
  },

  // A box's selection (its caret where nothing is selected), in UTF-16 code units of its value.
  korvane_dom_selection__deps: ['$korvaneElement'],
  korvane_dom_selection: function (id, idLength, end) {
    var box = korvaneElement(id, idLength);
    return end ? box.selectionEnd : box.selectionStart;
  },

  // Puts text in place of the code units from `start` to `end` of a box's value, the caret
  // after it. A box's own change event does not fire for it.
  korvane_dom_replace__deps: ['$korvaneElement', '$korvaneUnits'],
  korvane_dom_replace: function (id, idLength, start, end, units, length) {
    korvaneElement(id, idLength).setRangeText(korvaneUnits(units, length), start, end, 'end');
  },

  korvane_dom_set_title__deps: ['$korvaneText'],
  korvane_dom_set_title: function (text, textLength) {
    document.title = korvaneText(text, textLength);
  },

  // Marks the page loaded on its root element, for tests and scripts to wait for.
  korvane_dom_ready: function () {
    document.documentElement.setAttribute('data-korvane', 'ready');
  },
});
