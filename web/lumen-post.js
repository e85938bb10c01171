// Added to the end of the game's script, where it runs before the game
// starts: what the browser's GLUT and runtime need to act as the desktop's.

// Keys with Ctrl or Alt. The browser's GLUT drops them, where the desktop's
// gives Ctrl with a letter as the letter's control code (Ctrl+Q is 17, one of
// the exit keys) and Alt with a key as the key itself; the modifier line
// says which was held either way.
(function () {
  var plainKey = GLUT.getASCIIKey;
  GLUT.getASCIIKey = function (event) {
    if (event.metaKey) {
      return null;
    }
    var keyCode = event.keyCode;
    if (event.ctrlKey && !event.altKey && keyCode >= 65 && keyCode <= 90) {
      return keyCode - 64;
    }
    return plainKey({ keyCode: keyCode, shiftKey: event.shiftKey });
  };
})();

// The end of the game. Its exit keys call exit, which runs the static
// destructors; the runtime then throws an ExitStatus out of the key handler
// to unwind the program. That is how it ends, not an error, so the page does
// not report it as one. Every GLUT callback (frames, keys, mouse, reshape)
// is let go, so that nothing calls into the ended program: the key's own
// release follows its press.
(function () {
  var pageOnExit = Module["onExit"];
  Module["onExit"] = function (status) {
    for (var name in GLUT) {
      if (/Func$/.test(name)) {
        GLUT[name] = 0;
      }
    }
    if (pageOnExit) {
      pageOnExit(status);
    }
  };
  window.addEventListener("error", function (event) {
    if (event.error instanceof ExitStatus) {
      event.preventDefault();
    }
  });
})();
