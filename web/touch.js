// The page's touch controls for play and its way to type a name on a touch screen. The game
// asks for them (src/platform/touch_web.cpp) and takes what the fingers held once a frame.
'use strict';
(function () {
  // One row per control: the play action it holds (its name in the controls file), its label,
  // the side of the well it stands on, and its middle and size in the picture's 1024 x 768
  // pixels, measured from the middle of its side's margin. The left thumb moves the piece,
  // the right one turns it; pause and abandon stand apart at the top.
  var TOUCH_CONTROLS = [
    { action: 'hard-drop', label: '\u21ca', side: 'left', x: 0, y: 262, size: 104 },
    { action: 'shift-left', label: '\u25c0', side: 'left', x: -110, y: 372, size: 104 },
    { action: 'shift-right', label: '\u25b6', side: 'left', x: 110, y: 372, size: 104 },
    { action: 'soft-drop', label: '\u25bc', side: 'left', x: 0, y: 482, size: 104 },
    { action: 'turn', label: '\u21bb', side: 'right', x: 60, y: 360, size: 132 },
    { action: 'turn-other', label: '\u21ba', side: 'right', x: -70, y: 500, size: 132 },
    { action: 'abandon', label: '\u2715', side: 'right', x: -40, y: 76, size: 96 },
    { action: 'pause', label: '\u275a\u275a', side: 'right', x: 110, y: 76, size: 96 },
  ];
  var PICTURE_WIDTH = 1024;
  var PICTURE_HEIGHT = 768;
  var WELL_LEFT = 352;
  var WELL_RIGHT = 672;
  // The least a finger can be sure to hit, in CSS pixels.
  var LEAST_TARGET = 48;
  // The least width of a bar beside the picture that takes the name button.
  var BESIDE_BAR = 120;
  var SMALLEST_CONTROL = Math.min.apply(null, TOUCH_CONTROLS.map(function (c) { return c.size; }));

  var canvas = document.getElementById('canvas');
  var pad = document.createElement('div');
  pad.id = 'touch-controls';
  pad.hidden = true;
  document.body.appendChild(pad);

  // Per control: the fingers on it, and whether one came since the game last looked.
  var state = {};
  var taken = {};
  TOUCH_CONTROLS.forEach(function (control) {
    var button = document.createElement('div');
    button.className = 'touch-control';
    button.dataset.action = control.action;
    button.textContent = control.label;
    pad.appendChild(button);
    var held = { fingers: new Set(), tapped: false };
    state[control.action] = held;
    control.element = button;
    button.addEventListener('pointerdown', function (event) {
      event.preventDefault();
      held.fingers.add(event.pointerId);
      held.tapped = true;
      button.classList.add('held');
    });
    var lift = function (event) {
      held.fingers.delete(event.pointerId);
      if (held.fingers.size === 0) button.classList.remove('held');
    };
    ['pointerup', 'pointercancel', 'lostpointercapture'].forEach(function (kind) {
      button.addEventListener(kind, lift);
    });
  });
  // The browser's own use of a finger (scrolling, zooming, a long press's menu) never starts here.
  pad.addEventListener('touchstart', function (event) { event.preventDefault(); }, { passive: false });
  pad.addEventListener('contextmenu', function (event) { event.preventDefault(); });

  // The controls stand in the margins beside the well, wherever the game letterboxes its
  // picture into the canvas, and never smaller than a finger.
  function placeControls() {
    var width = canvas.clientWidth;
    var height = canvas.clientHeight;
    var scale = Math.min(width / PICTURE_WIDTH, height / PICTURE_HEIGHT);
    var left = (width - PICTURE_WIDTH * scale) / 2;
    var top = (height - PICTURE_HEIGHT * scale) / 2;
    var unit = Math.max(scale, LEAST_TARGET / SMALLEST_CONTROL);
    var middles = { left: (left + WELL_LEFT * scale) / 2,
                    right: (left + WELL_RIGHT * scale + width) / 2 };
    TOUCH_CONTROLS.forEach(function (control) {
      var size = control.size * unit;
      var style = control.element.style;
      style.width = style.height = size + 'px';
      style.left = (middles[control.side] + control.x * unit - size / 2) + 'px';
      style.top = Math.max(0, top + control.y * scale - size / 2) + 'px';
      style.fontSize = (size * 0.42) + 'px';
    });
  }
  window.addEventListener('resize', placeControls);

  // The name: a tap on the page's button raises the device's keyboard for a hidden field, and
  // what is typed there reaches the game as key presses.
  var typeButton = document.getElementById('type-name');
  var field = document.getElementById('name-field');
  var typed = '';
  function sendKey(code, key) {
    var init = { code: code, key: key, bubbles: true, cancelable: true };
    window.dispatchEvent(new KeyboardEvent('keydown', init));
    window.dispatchEvent(new KeyboardEvent('keyup', init));
  }
  function sendCharacter(character) {
    if (/^[A-Z]$/.test(character)) sendKey('Key' + character, character.toLowerCase());
    else if (/^[0-9]$/.test(character)) sendKey('Digit' + character, character);
    else if (character === ' ') sendKey('Space', ' ');
  }
  // The letters the game's names take, as the game types them.
  function nameOf(text) {
    return text.toUpperCase().replace(/[^A-Z0-9 ]/g, '').slice(0, Number(field.maxLength));
  }
  // Outside the picture where a bar beside it has room (a phone), else under the table.
  function placeTypeButton() {
    var width = canvas.clientWidth;
    var height = canvas.clientHeight;
    var bar = (width - PICTURE_WIDTH * Math.min(width / PICTURE_WIDTH, height / PICTURE_HEIGHT)) / 2;
    var style = typeButton.style;
    var beside = bar >= BESIDE_BAR;
    style.left = beside ? (width - bar / 2) + 'px' : '50%';
    style.maxWidth = beside ? (bar - 16) + 'px' : '';
    style.bottom = beside ? '' : '16px';
    style.top = beside ? '50%' : '';
    style.transform = beside ? 'translate(-50%, -50%)' : 'translateX(-50%)';
  }
  typeButton.addEventListener('click', function () {
    field.value = typed;
    field.focus({ preventScroll: true });
  });
  field.addEventListener('keydown', function (event) {
    // A real keyboard's keys go to the game as they are; the field takes none of them.
    if (event.code && event.keyCode !== 229) {
      event.preventDefault();
      return;
    }
    event.stopPropagation();
    if (event.key === 'Enter') {
      event.preventDefault();
      sendKey('Enter', 'Enter');
    }
  });
  // A device's keyboard changes the field as a whole (a word completed, a letter taken back):
  // the game is sent the difference.
  field.addEventListener('input', function (event) {
    var now = nameOf(field.value);
    var same = 0;
    while (same < now.length && same < typed.length && now[same] === typed[same]) ++same;
    for (var i = typed.length; i > same; --i) sendKey('Backspace', 'Backspace');
    for (var j = same; j < now.length; ++j) sendCharacter(now[j]);
    typed = now;
    if (!event.isComposing && field.value !== now) field.value = now;
  });

  function touchScreen() {
    return navigator.maxTouchPoints > 0 || 'ontouchstart' in window;
  }

  Module.plembyTouch = {
    screen: touchScreen,
    showControls: function (shown) {
      shown = shown && touchScreen();
      if (shown) placeControls();
      pad.hidden = !shown;
      if (!shown) {
        TOUCH_CONTROLS.forEach(function (control) {
          state[control.action].fingers.clear();
          control.element.classList.remove('held');
        });
      }
    },
    showNameTyping: function (shown) {
      typeButton.hidden = !(shown && touchScreen());
      if (shown) {
        placeTypeButton();
        typed = '';
        field.value = '';
      } else if (document.activeElement === field) {
        field.blur();
        canvas.focus({ preventScroll: true });
      }
    },
    // Once a frame: a control counts as held when a finger is on it or came and went since.
    take: function () {
      TOUCH_CONTROLS.forEach(function (control) {
        var held = state[control.action];
        taken[control.action] = held.fingers.size > 0 || held.tapped;
        held.tapped = false;
      });
    },
    held: function (action) { return taken[action] === true; },
  };
})();
