// The part of GLUT that the program uses, for a page: one window (the page's canvas, with a WebGL
// context), the six callbacks, and a frame loop on the display's refresh.
//
// Conventions
//   - Module.canvas is the window. Its size is the window's size and never changes.
//   - Each animation frame of the browser runs the idle callback and then, if a redisplay was
//     asked for, the display callback: one frame per display refresh, as a window gets from a
//     compositor.
//   - Keys come from KeyboardEvent.key, the character the keyboard's layout gives, so backslash is
//     92 wherever a layout puts it. Keys that are characters (Latin-1), Esc, Enter, Tab, Backspace
//     and Delete reach the keyboard callback, as in GLUT; keys held with Ctrl, Alt or Meta are the
//     browser's (AltGr, which some layouts need for backslash, counts as a character key).
//   - A press on the canvas holds the pointer until its release, like a window's implicit grab:
//     motion and the release are reported wherever the pointer is, in canvas pixels.
//   - After each frame Module.onFrameDrawn(), if the page gives one, lets the page follow it.
//   - The program ends with exit(): the frame loop and the input stop for good, and
//     Module.onProgramExit(status) tells the page. A failure to make a WebGL context ends it the
//     same way, with status 1 and a message.

var LibraryOrlavaneGlut = {
  $GLUT__deps: ['$GL', '$dynCall', '$runtimeKeepalivePush', '$runtimeKeepalivePop'],
  $GLUT: {
    displayMode: 0,
    width: 300,
    height: 300,
    callbacks: {display: 0, reshape: 0, idle: 0, mouse: 0, motion: 0, keyboard: 0},
    signatures: {display: 'v', reshape: 'vii', idle: 'v', mouse: 'viiii', motion: 'vii', keyboard: 'viii'},
    redisplay: false,
    running: false,
    ended: false,
    buttonsHeld: 0,
    listeners: [],
    frameRequest: 0,
    framesShown: 0,

    // Runs a piece of the program; an exit() inside it ends the program.
    run: function(body) {
      if (GLUT.ended) return;
      try {
        body();
      } catch (e) {
        if (e instanceof ExitStatus) {
          GLUT.end(e.status, '');
          return;
        }
        if (e === 'unwind') return;
        throw e;
      }
    },

    end: function(status, message) {
      if (GLUT.ended) return;
      GLUT.ended = true;
      if (GLUT.frameRequest) cancelAnimationFrame(GLUT.frameRequest);
      GLUT.listeners.forEach(function(l) { l.target.removeEventListener(l.type, l.handler, l.options); });
      GLUT.listeners = [];
      if (GLUT.running) runtimeKeepalivePop();
      GLUT.running = false;
      if (Module['onProgramExit']) Module['onProgramExit'](status, message);
    },

    listen: function(target, type, handler, options) {
      target.addEventListener(type, handler, options);
      GLUT.listeners.push({target: target, type: type, handler: handler, options: options});
    },

    call: function(name) {
      var callback = GLUT.callbacks[name];
      if (!callback) return;
      var args = Array.prototype.slice.call(arguments, 1);
      GLUT.run(function() { dynCall(GLUT.signatures[name], callback, args); });
    },

    frame: function() {
      GLUT.frameRequest = 0;
      if (GLUT.ended) return;
      GLUT.call('idle');
      if (GLUT.redisplay && !GLUT.ended) {
        GLUT.redisplay = false;
        GLUT.call('display');
        if (!GLUT.ended) {
          if (!GLUT.framesShown) performance.mark('orlavane-first-frame');
          GLUT.framesShown++;
          if (Module['onFrameDrawn']) Module['onFrameDrawn']();
        }
      }
      if (!GLUT.ended) GLUT.frameRequest = requestAnimationFrame(GLUT.frame);
    },

    keyCode: function(event) {
      var altGraph = event.getModifierState && event.getModifierState('AltGraph');
      if ((event.ctrlKey || event.altKey || event.metaKey) && !altGraph) return -1;
      var key = event.key;
      if (key.length == 1) {
        var code = key.charCodeAt(0);
        return code < 256 ? code : -1;
      }
      var named = {'Escape': 27, 'Enter': 13, 'Tab': 9, 'Backspace': 8, 'Delete': 127};
      return named.hasOwnProperty(key) ? named[key] : -1;
    },

    // The pointer in canvas pixels, y down, as GLUT reports it.
    pointer: function(event) {
      var canvas = Module['canvas'];
      var box = canvas.getBoundingClientRect();
      var x = (event.clientX - box.left) * (canvas.width / (box.width || canvas.width));
      var y = (event.clientY - box.top) * (canvas.height / (box.height || canvas.height));
      return [Math.floor(x), Math.floor(y)];
    },

    // DOM buttons 0, 1 and 2 are left, middle and right, as GLUT's 0, 1 and 2.
    isGlutButton: function(button) { return button >= 0 && button <= 2; },

    installInput: function() {
      var canvas = Module['canvas'];
      GLUT.listen(window, 'keydown', function(event) {
        var code = GLUT.keyCode(event);
        if (code < 0) return;
        // Character keys and Esc are the program's alone (space does not scroll the page); Enter,
        // Tab, Backspace and Delete also keep their use on the page, so that Tab moves the focus and
        // Enter presses a focused button.
        if (event.key.length == 1 || code == 27) event.preventDefault();
        var at = GLUT.lastPointer || [0, 0];
        GLUT.call('keyboard', code, at[0], at[1]);
      });
      GLUT.listen(canvas, 'mousedown', function(event) {
        if (!GLUT.isGlutButton(event.button)) return;
        event.preventDefault();  // no text selection, no middle-button scrolling
        GLUT.buttonsHeld |= 1 << event.button;
        var at = GLUT.pointer(event);
        GLUT.lastPointer = at;
        GLUT.call('mouse', event.button, 0, at[0], at[1]);
      });
      GLUT.listen(window, 'mouseup', function(event) {
        if (!GLUT.isGlutButton(event.button) || !(GLUT.buttonsHeld & (1 << event.button))) return;
        GLUT.buttonsHeld &= ~(1 << event.button);
        var at = GLUT.pointer(event);
        GLUT.lastPointer = at;
        GLUT.call('mouse', event.button, 1, at[0], at[1]);
      });
      GLUT.listen(window, 'mousemove', function(event) {
        var at = GLUT.pointer(event);
        GLUT.lastPointer = at;
        if (GLUT.buttonsHeld) GLUT.call('motion', at[0], at[1]);
      });
      GLUT.listen(canvas, 'contextmenu', function(event) { event.preventDefault(); });
      // A window that loses the pointer grab gets no release either: the held buttons are let go
      // without a report, as when a window manager takes the grab away.
      GLUT.listen(window, 'blur', function() { GLUT.buttonsHeld = 0; });
    },
  },

  glutInit: function(argcp, argv) {},

  glutInitDisplayMode: function(mode) { GLUT.displayMode = mode; },

  glutInitWindowSize: function(width, height) {
    GLUT.width = width;
    GLUT.height = height;
  },

  // A page places its canvas itself.
  glutInitWindowPosition: function(x, y) {},

  glutCreateWindow__deps: ['$GLUT'],
  glutCreateWindow: function(title) {
    var canvas = Module['canvas'];
    canvas.width = GLUT.width;
    canvas.height = GLUT.height;
    canvas.setAttribute('aria-label', UTF8ToString(title));
    var GLUT_DEPTH = 16;
    var context = GL.createContext(canvas, {
      majorVersion: 1,
      minorVersion: 0,
      alpha: false,
      depth: (GLUT.displayMode & GLUT_DEPTH) != 0,
      stencil: false,
      antialias: false,  // OpenGL's lines are aliased unless asked otherwise
      premultipliedAlpha: true,
      preserveDrawingBuffer: false,
    });
    if (!context) {
      GLUT.end(1, 'This browser gave the page no WebGL context, so the program cannot draw.');
      throw 'unwind';
    }
    GL.makeContextCurrent(context);
    return 1;
  },

  glutDisplayFunc: function(func) { GLUT.callbacks.display = func; },
  glutReshapeFunc: function(func) { GLUT.callbacks.reshape = func; },
  glutIdleFunc: function(func) { GLUT.callbacks.idle = func; },
  glutMouseFunc: function(func) { GLUT.callbacks.mouse = func; },
  glutMotionFunc: function(func) { GLUT.callbacks.motion = func; },
  glutKeyboardFunc: function(func) { GLUT.callbacks.keyboard = func; },

  glutPostRedisplay: function() { GLUT.redisplay = true; },

  // The browser shows what was drawn when the frame's task ends.
  glutSwapBuffers: function() {},

  glutGet: function(type) {
    var canvas = Module['canvas'];
    switch (type) {
      case 102: return canvas.width;   // GLUT_WINDOW_WIDTH
      case 103: return canvas.height;  // GLUT_WINDOW_HEIGHT
      case 700: return Math.floor(performance.now());  // GLUT_ELAPSED_TIME
      default: return 0;
    }
  },

  // Never returns: the frame loop and the input take over, and the page stays alive for them.
  glutMainLoop__deps: ['$GLUT'],
  glutMainLoop: function() {
    if (GLUT.ended) throw 'unwind';
    GLUT.running = true;
    runtimeKeepalivePush();
    GLUT.installInput();
    var canvas = Module['canvas'];
    GLUT.call('reshape', canvas.width, canvas.height);
    GLUT.redisplay = true;
    if (!GLUT.ended) GLUT.frameRequest = requestAnimationFrame(GLUT.frame);
    Module['orlavaneGlut'] = GLUT;
    throw 'unwind';
  },
};

autoAddDeps(LibraryOrlavaneGlut, '$GLUT');
mergeInto(LibraryManager.library, LibraryOrlavaneGlut);
