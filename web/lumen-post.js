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
// to unwind the program. That is how it ends, not an error: each of GLUT's
// input handlers catches it, so that nothing reaches the page as uncaught.
// Every GLUT callback (frames, keys, mouse, reshape) is let go, so that
// nothing calls into the ended program: the key's own release follows its
// press.
(function () {
  var ended = false;
  var lostContext = false;
  var pageOnExit = Module["onExit"];
  Module["onExit"] = function (status) {
    ended = true;
    for (var name in GLUT) {
      if (/Func$/.test(name)) {
        GLUT[name] = 0;
      }
    }
    if (pageOnExit && !lostContext) {
      pageOnExit(status);
    }
  };
  function unwinding(error) {
    if (!(error instanceof ExitStatus)) {
      throw error;
    }
  }
  // A click whose screen's files are still downloading waits for them (the
  // page shows the progress), and the input after it waits behind it, so
  // that the game gets it all in order once they are here and never opens a
  // picture that is not.
  var held = [];
  var holding = false;
  function deliver() {
    while (held.length && !holding) {
      var next = held[0];
      if (next.press && Module["lumenFiles"].holdForNextScreen(function () {
        holding = false;
        deliver();
      })) {
        holding = true;
        return;
      }
      held.shift();
      try {
        next.handler(next.event);
      } catch (error) {
        unwinding(error);
      }
    }
  }
  // GLUT registers these when the game starts, after this script has run.
  ["onKeydown", "onKeyup", "onMouseWheel"].forEach(function (name) {
    var handler = GLUT[name];
    GLUT[name] = function (event) {
      try {
        handler(event);
      } catch (error) {
        unwinding(error);
      }
    };
  });
  ["onMousemove", "onMouseButtonDown", "onMouseButtonUp"].forEach(function (name) {
    var handler = GLUT[name];
    GLUT[name] = function (event) {
      held.push({ handler: handler, event: event, press: name === "onMouseButtonDown" });
      deliver();
    };
  });

  // When the browser takes the WebGL context away, the board's textures and
  // everything else the game drew with are gone: the game ends as it does
  // on Escape, which stops its sounds, and the page says so. Asking to keep
  // the canvas (preventDefault) lets the browser give the context back.
  Module["canvas"].addEventListener("webglcontextlost", function (event) {
    event.preventDefault();
    if (ended || lostContext) {
      return;
    }
    lostContext = true;
    if (runtimeInitialized && !runtimeExited) {
      try {
        _emscripten_force_exit(0);
      } catch (error) {
        unwinding(error);
      }
    }
    if (Module["onContextLost"]) {
      Module["onContextLost"]();
    }
  });
})();

// Touch. GLUT knows only a mouse, and the game picks the puck that the
// pointer last moved over: a finger lands and presses at once, with no move
// before. Each touch of the first finger on the board is therefore given to
// GLUT as a mouse would make it: a move to the touch point, then the press;
// the finger's moves as moves with the button held; its lifting (or the
// browser cancelling the touch) as the release. Other fingers are ignored.
(function () {
  var finger = null; // the identifier of the touch that acts as the mouse
  var simulating = false;

  function touchOf(event) {
    for (var i = 0; i < event.changedTouches.length; i++) {
      if (event.changedTouches[i].identifier === finger) {
        return event.changedTouches[i];
      }
    }
    return null;
  }

  function send(type, touch) {
    var mouse = new MouseEvent(type, {
      bubbles: true, cancelable: true, view: window, detail: 1,
      screenX: touch.screenX, screenY: touch.screenY, clientX: touch.clientX, clientY: touch.clientY,
      button: 0, buttons: type === "mouseup" ? 0 : 1
    });
    simulating = true;
    try {
      Module["canvas"].dispatchEvent(mouse);
    } finally {
      simulating = false;
    }
  }

  GLUT.touchHandler = function (event) {
    if (event.target !== Module["canvas"]) {
      return;
    }
    // No mouse events of the browser's own after the touch, no zoom.
    if (event.cancelable) {
      event.preventDefault();
    }
    var touch;
    if (event.type === "touchstart") {
      if (finger !== null) {
        return;
      }
      touch = event.changedTouches[0];
      finger = touch.identifier;
      choosePictures(true);
      send("mousemove", touch);
      send("mousedown", touch);
      return;
    }
    touch = touchOf(event);
    if (touch === null) {
      return;
    }
    if (event.type === "touchmove") {
      send("mousemove", touch);
      return;
    }
    finger = null;
    send("mouseup", touch);
  };
  // GLUT listens to the first three where the browser has touch; a touch the
  // browser cancels (a system gesture, an alert) ends as a release too.
  if ("ontouchstart" in document.documentElement) {
    window.addEventListener("touchcancel", GLUT.touchHandler, true);
  }

  // Words for the way the player plays. The instructions picture names the
  // mouse's clicks, right button and Escape; a player who taps is shown the
  // touch screen's picture instead, under the same name, which the game
  // loads when the splash is left. Each press decides, so that on a screen
  // with both the one that left the splash is the one the words are for.
  var INSTRUCTIONS = "/img/instructions.jpg";
  var TOUCH_INSTRUCTIONS = "/img/instructions-touch.jpg";
  var mouseInstructions = null;
  var touchShown = false;
  var touchWanted = false;
  function showChosen() {
    if (touchWanted === touchShown) {
      return;
    }
    var files = Module["lumenFiles"];
    if (mouseInstructions === null) {
      mouseInstructions = files.read(INSTRUCTIONS);
    }
    files.write(INSTRUCTIONS, touchWanted ? files.read(TOUCH_INSTRUCTIONS) : mouseInstructions);
    touchShown = touchWanted;
  }
  // The pictures may still be on their way; they are chosen as they land,
  // before the click that waits for them shows them.
  function choosePictures(touch) {
    touchWanted = touch;
    if (!Module["lumenFiles"].whenArrived(TOUCH_INSTRUCTIONS, showChosen)) {
      showChosen();
    }
  }
  window.addEventListener("mousedown", function () {
    if (!simulating) {
      choosePictures(false);
    }
  }, true);
})();
