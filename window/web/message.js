// The window's message (window/web/page.cpp makes it): its title and text set, opened as a modal
// <dialog>, closed by its OK button or by Escape. The C++ call that opens it returns only once it
// is closed: the module waits meanwhile (Asyncify), and no event reaches the window (events.js).
mergeInto(LibraryManager.library, {
  korvane_message_show__deps: ['$korvaneText', '$korvaneEvents', '$Asyncify'],
  korvane_message_show: function (text, textLength, title, titleLength) {
    return Asyncify.handleSleep(function (wakeUp) {
      var dialog = document.getElementById('message');
      document.getElementById('message-title').textContent = korvaneText(title, titleLength);
      document.getElementById('message-text').textContent = korvaneText(text, textLength);
      korvaneEvents.waiting = true;
      dialog.addEventListener('close', function () {
        korvaneEvents.waiting = false;
        wakeUp();
      }, {once: true});
      dialog.showModal();
    });
  },
});
