// The window's message: a modal <dialog> with its title and text, named and described by them
// for screen readers, and one OK button that closes it. Made once, on its first use.
mergeInto(LibraryManager.library, {
  korvane_message_show__deps: ['$korvaneText'],
  korvane_message_show: function (text, textLength, title, titleLength) {
    var dialog = document.getElementById('message');
    if (!dialog) {
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
    }
    document.getElementById('message-title').textContent = korvaneText(title, titleLength);
    document.getElementById('message-text').textContent = korvaneText(text, textLength);
    dialog.showModal();
  },
});
