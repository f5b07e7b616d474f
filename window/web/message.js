// The window's message: a modal <dialog> with its title and text, named and described by them
// for screen readers, and one OK button that closes it, as Escape does. Made once, on its first
// use. The C++ call that opens it returns only once it is closed: the module waits meanwhile
// (Asyncify), and no event reaches the window (events.js).
mergeInto(LibraryManager.library, {
  $korvaneMessage__deps: ['$korvaneEvents'],
  $korvaneMessage: function () {
    var dialog = document.getElementById('message');
    if (dialog) {
      return dialog;
    }
    dialog = document.createElement('dialog');
    dialog.id = 'message';
    dialog.setAttribute('aria-labelledby', 'message-title');
    dialog.setAttribute('aria-describedby', 'message-text');
    var form = document.createElement('form');
    form.method = 'dialog';
    var heading = document.createElement('h2');
    heading.id = 'message-title';
    var body = document.createElement('p');
    body.id = 'message-text';
    var ok = document.createElement('button');
    ok.id = 'message-ok';
    ok.textContent = 'OK';
    form.append(heading, body, ok);
    dialog.appendChild(form);
    document.body.appendChild(dialog);
    return dialog;
  },

  korvane_message_show__deps: ['$korvaneText', '$korvaneEvents', '$korvaneMessage', '$Asyncify'],
  korvane_message_show: function (text, textLength, title, titleLength) {
    return Asyncify.handleSleep(function (wakeUp) {
      var dialog = korvaneMessage();
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
