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

  // A box's value as UTF-8: its length in bytes, then the bytes copied into a buffer that long.
  korvane_dom_value_size__deps: ['$korvaneElement'],
  korvane_dom_value_size: function (id, idLength) {
    return new TextEncoder().encode(korvaneElement(id, idLength).value).length;
  },

  korvane_dom_copy_value__deps: ['$korvaneElement'],
  korvane_dom_copy_value: function (id, idLength, buffer, size) {
    var bytes = new TextEncoder().encode(korvaneElement(id, idLength).value);
    HEAPU8.set(bytes.subarray(0, size), buffer);
  },

  korvane_dom_set_disabled__deps: ['$korvaneElement'],
  korvane_dom_set_disabled: function (id, idLength, disabled) {
    korvaneElement(id, idLength).disabled = disabled !== 0;
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
