// The beep: a tenth of a second of a soft 880 Hz tone. The audio context is made on the first
// beep; a browser lets it sound only after the user has pressed a key or clicked.
mergeInto(LibraryManager.library, {
  $korvaneAudio: null,
  korvane_beep__deps: ['$korvaneAudio'],
  korvane_beep: function () {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
      return;
    }
    korvaneAudio = korvaneAudio || new Context();
    var tone = korvaneAudio.createOscillator();
    var volume = korvaneAudio.createGain();
    volume.gain.value = 0.1;
    tone.frequency.value = 880;
    tone.connect(volume).connect(korvaneAudio.destination);
    tone.start();
    tone.stop(korvaneAudio.currentTime + 0.1);
  },
});
