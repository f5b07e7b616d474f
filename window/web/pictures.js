// The window's pictures, which the module holds as bytes: each becomes a blob: address (no
// network request, and allowed on a page opened from disk) set as an image's source.
mergeInto(LibraryManager.library, {
  korvane_picture_show__deps: ['$korvaneText', '$korvaneElement'],
  korvane_picture_show: function (id, idLength, bytes, size, type, typeLength) {
    var blob = new Blob([HEAPU8.slice(bytes, bytes + size)], {type: korvaneText(type, typeLength)});
    korvaneElement(id, idLength).setAttribute('src', URL.createObjectURL(blob));
  },
});
