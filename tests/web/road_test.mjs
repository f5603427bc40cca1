// The browser build's road test: serves build-web/ on 127.0.0.1, plays the page in Debian's
// Chromium, headless, driven through puppeteer-core, and walks a player's whole road: the page
// loads without a console error, the title shows, keys start a game whose piece moves and drops,
// the finished game's name is stored, a changed option and the table are still there after a
// reload (the table on the HIGH SCORES screen), the sound runs for 60 s without a gap, the
// pictures match the desktop's (the title, the menu, the options, and a frame of the page's own
// game that the page and the desktop game both show paused), a replay recorded in the page
// verifies with the desktop game,
// the keys the game uses never scroll the page, and the music renders the same samples as the
// desktop's. A second page, on a high-density screen, with a refused storage and a controller,
// checks that the canvas is sharp, that the refusal is told once while the game plays on, that
// the controller drives the menu, and that F10 and the page's button enter full screen.
//
// Usage: node road_test.mjs --web build-web --modules DIR_WITH_node_modules
//          --desktop DESKTOP_BUILD --pictures DESKTOP_PICTURES --out SCRATCH
// Every wait has a generous bound and checks the picture it waits for; nothing depends on timing:
// a key or button is held until the game has run a frame that sees it down, then until it has
// run one that sees it up, however slowly the page is given its turns.
import { spawnSync } from 'node:child_process';
import { createReadStream, existsSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { gzipSync } from 'node:zlib';
import { createRequire } from 'node:module';
import path from 'node:path';

import { differingShare, readPng, shrink } from './png.mjs';

const args = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];
for (const needed of ['web', 'modules', 'desktop', 'pictures', 'out']) {
  if (!args[needed]) throw new Error(`road_test: --${needed} is needed`);
}
const require = createRequire(path.resolve(args.modules) + '/');
const puppeteer = require('puppeteer-core');

const CHROMIUM = process.env.PLEMBY_CHROMIUM || '/usr/bin/chromium';
const WAIT_MS = 60000;          // the bound of every wait for a picture
const SOUND_SECONDS = 60;       // how much of the page's sound is checked
const MOST_DIFFERING = 0.01;    // the share of pixels that may differ by more than 8 levels
// The frame of the browser's game that both builds draw: a game that fills the well with at
// least ten pieces, each dropped by a key held for two of the page's turns and let go for two,
// lasts longer than this.
const PLAY_FRAME = 60;
mkdirSync(args.out, { recursive: true });

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) ++failures;
  return ok;
}
// Console errors and uncaught exceptions of the game's page.
const errors = [];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A plain static host: the files as they are, no special headers.
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
function serve(root) {
  const server = createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(path.resolve(root)) || !existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The sound the page sends to the browser: SDL plays through a ScriptProcessorNode; each buffer
// it fills is looked at as it goes out (its loudest sample) before the browser plays it.
function tapSound() {
  window.plembySound = { buffers: 0, silentRun: 0, longestSilentRun: 0, loudest: 0, seconds: 0,
                         context: null };
  const Context = window.AudioContext || window.webkitAudioContext;
  const createScriptProcessor = Context.prototype.createScriptProcessor;
  const handler = Object.getOwnPropertyDescriptor(ScriptProcessorNode.prototype, 'onaudioprocess');
  Context.prototype.createScriptProcessor = function (...rest) {
    const node = createScriptProcessor.apply(this, rest);
    const sound = window.plembySound;
    sound.context = this;
    Object.defineProperty(node, 'onaudioprocess', {
      get() { return handler.get.call(node); },
      set(fill) {
        handler.set.call(node, fill && function (event) {
          fill.call(this, event);
          const out = event.outputBuffer;
          let loudest = 0;
          for (let c = 0; c < out.numberOfChannels; ++c) {
            const samples = out.getChannelData(c);
            for (let i = 0; i < samples.length; ++i) loudest = Math.max(loudest, Math.abs(samples[i]));
          }
          sound.buffers += 1;
          if (sound.loudest > 0) sound.seconds += out.length / out.sampleRate;
          sound.loudest = Math.max(sound.loudest, loudest);
          sound.silentRun = loudest === 0 && sound.loudest > 0 ? sound.silentRun + out.length / out.sampleRate : 0;
          sound.longestSilentRun = Math.max(sound.longestSilentRun, sound.silentRun);
        });
      },
    });
    return node;
  };
}

// Every key pressed on the page, and whether the page kept it from the browser (no scrolling,
// no other use): looked at once every listener has had the key.
// Every key and pointer event is also counted as it reaches the page.
function watchKeys() {
  window.plembyKeys = [];
  window.plembyInput = 0;
  window.addEventListener('keydown', (event) => {
    setTimeout(() => window.plembyKeys.push({ code: event.code, kept: event.defaultPrevented }));
  });
  for (const kind of ['keydown', 'keyup', 'mousedown', 'mouseup', 'mousemove', 'touchstart', 'touchend']) {
    window.addEventListener(kind, () => { window.plembyInput += 1; }, true);
  }
}

// The pictures compared are the game's: the page's notes and button over the canvas are hidden.
async function hidePageNotes(page) {
  await page.evaluate(() => {
    const style = document.createElement('style');
    style.id = 'plemby-test-hide';
    style.textContent = '.note, #fullscreen { visibility: hidden !important; }';
    document.head.appendChild(style);
  });
}

// The canvas fills the 1024 x 768 page, one pixel of the game's picture to one of the page (on
// a high-density screen the picture is taken at the page's scale). On the phone the picture
// fills the screen's height between two bars and is taken back to 1024 x 768.
async function picture(page) {
  const { deviceScaleFactor: scale, isMobile } = page.viewport();
  const clip = isMobile ? { x: PHONE_LEFT, y: 0, width: 1024 * PHONE_SCALE, height: PHONE.height,
                            scale: 1 / (scale * PHONE_SCALE) }
             : scale === 1 ? undefined : { x: 0, y: 0, width: 1024, height: 768, scale: 1 / scale };
  return readPng(Buffer.from(await page.screenshot({ type: 'png', clip })));
}

// Waits until the picture matches `wanted` (a picture, or a test of one); returns the picture.
// On a high-density screen the picture is scaled up and taken back down, which softens its edges:
// there the pixels that count as differing are those more than 32 levels apart.
async function waitForPicture(page, wanted, what) {
  const levels = page.viewport().deviceScaleFactor === 1 ? 8 : 32;
  const test = typeof wanted === 'function' ? wanted
                                            : (shot) => differingShare(shot, wanted, levels) <= MOST_DIFFERING;
  const until = Date.now() + WAIT_MS;
  let shot = null;
  while (Date.now() < until) {
    shot = await picture(page);
    // A screen takes input once its fade has ended: the picture must also have settled.
    if (test(shot)) {
      shot = await settledPicture(page);
      if (test(shot)) return shot;
    }
    await sleep(100);
  }
  check(false, `the page shows ${what}${errors.length ? ' (errors: ' + errors.join(' | ') + ')' : ''}`);
  if (shot) writeFileSync(path.join(args.out, `${what.replace(/\W+/g, '-')}.rgb`), shot.rgb);
  throw new Error(`timed out waiting for ${what}`);
}

// A picture that no longer changes: two looks agree with the game's frames of at least 150 ms
// between them. A fade steps at least every 48 ms, in every frame that finds the time come, so
// a screen that still fades (and takes no input yet) never passes, however the page is slowed.
async function settledPicture(page) {
  let last = await picture(page);
  for (const until = Date.now() + WAIT_MS; Date.now() < until;) {
    await framesPass(page, 3);
    const now = await picture(page);
    if (differingShare(now, last, 0) === 0) return now;
    last = now;
  }
  throw new Error('the picture never settled');
}

const darkShare = (shot) => {
  let dark = 0;
  for (let i = 0; i < shot.rgb.length; i += 3) {
    if (shot.rgb[i] < 16 && shot.rgb[i + 1] < 16 && shot.rgb[i + 2] < 16) ++dark;
  }
  return dark / (shot.rgb.length / 3);
};

// The page's turns: the browser's animation callbacks, in which the game runs its due frames.
// Counted from the page's start, with the time each began.
function countTurns() {
  window.plembyTurns = { count: 0, last: -1 };
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((time) => {
    window.plembyTurns.count += 1;
    window.plembyTurns.last = performance.now();
    callback(time);
  });
}

// Returns once the game has run a frame after this call: the game reads its input at the start
// of each turn and runs every frame due by then, one each 20 ms, so a turn that begins 50 ms
// after the input changed has run at least one frame that sees the change.
async function framesPass(page, turns = 1) {
  for (let i = 0; i < turns; ++i) {
    const mark = await page.evaluate(() => performance.now());
    await page.waitForFunction((from) => window.plembyTurns.last >= from + 50,
                                { timeout: WAIT_MS, polling: 20 }, mark);
  }
}

// An input event given to the page, once the page has it (the browser may hand it over late),
// followed by a frame of the game.
async function give(page, action, turns = 1) {
  const before = await page.evaluate(() => window.plembyInput);
  await action();
  await page.waitForFunction((count) => window.plembyInput > count, { timeout: WAIT_MS, polling: 20 },
                             before);
  await framesPass(page, turns);
}

// A key, held until the game has seen it down, then up.
async function press(page, key) {
  await give(page, () => page.keyboard.down(key));
  await give(page, () => page.keyboard.up(key));
}
// Where the pointer rests after a click: the desktop's pictures have it there, lighting no item.
const REST = { x: 700, y: 520 };
// A click. The menu follows the pointer again once it sees it move: it moves in two steps and
// stays over the item for a frame before the button goes down.
async function click(page, x, y, rest = REST) {
  await give(page, () => page.mouse.move(x - 20, y - 10));
  await give(page, () => page.mouse.move(x, y), 2);
  await give(page, () => page.mouse.down());
  await give(page, () => page.mouse.up());
  await give(page, () => page.mouse.move(rest.x, rest.y));
}

// A click on a settled screen that leads to another one.
async function clickTo(page, x, y, wanted, what, rest = REST) {
  await click(page, x, y, rest);
  return waitForPicture(page, wanted, what);
}

// The HIGH SCORES screen: its title as the desktop draws it (the table below it may differ).
const HIGH_SCORES_TITLE = { x: 150, y: 50, width: 730, height: 100 };
const TABLE_ROWS = { x: 150, y: 395, width: 600, height: 270 };
const isHighScores = (shot) =>
  differingShare(shot, desktopPicture('high-scores'), 8, HIGH_SCORES_TITLE) <= MOST_DIFFERING;
// The menu's HIGH SCORES item, and a corner of the screen where the pointer lights no row.
const HIGH_SCORES_ITEM = { x: 320, y: 700 };
const CORNER = { x: 1015, y: 8 };
// The keys the page keeps from the browser.
const KEPT_KEYS = ['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'Space', 'Backspace', 'Tab',
                   'PageUp', 'PageDown', 'Home', 'End', 'F10'];

const desktopPictures = {};
function desktopPicture(name) {
  if (desktopPictures[name]) return desktopPictures[name];
  desktopPictures[name] = readPng(readFileSync(path.join(args.pictures, `${name}.png`)));
  return desktopPictures[name];
}

async function openGame(browser, origin, { scale = 1, prepare = [], viewport = null } = {}) {
  const page = await browser.newPage();
  const lines = [];
  page.on('console', (message) => {
    lines.push(message.text());
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.setViewport(viewport || { width: 1024, height: 768, deviceScaleFactor: scale });
  for (const script of [tapSound, countTurns, watchKeys, ...prepare]) {
    await page.evaluateOnNewDocument(...(Array.isArray(script) ? script : [script]));
  }
  const started = Date.now();
  await page.goto(`${origin}/`, { waitUntil: 'load' });
  await hidePageNotes(page);
  return { page, started, lines };
}

// The files the page keeps in IndexedDB, by path.
async function keptFiles(page) {
  const files = await page.evaluate(() => new Promise((resolve, reject) => {
    const open = indexedDB.open('plemby', 1);
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const found = {};
      const request = open.result.transaction('files').objectStore('files').openCursor();
      request.onsuccess = () => {
        const cursor = request.result;
        if (!cursor) { resolve(found); return; }
        found[cursor.key] = Array.from(new Uint8Array(cursor.value));
        cursor.continue();
      };
    };
  }));
  return Object.fromEntries(Object.entries(files).map(([k, v]) => [k, Buffer.from(v)]));
}

// A browser that refuses the storage, as a private window may: opening the database fails.
function refuseStorage() {
  IDBFactory.prototype.open = function () {
    const request = { result: undefined, error: new DOMException('refused by the test', 'InvalidStateError') };
    setTimeout(() => { if (request.onerror) request.onerror(new Event('error')); });
    return request;
  };
}

// A standard controller, as the browser's gamepad support shows one: none until it is plugged
// in; each change of a button is a new state (a new timestamp).
function fakeGamepad() {
  const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
  const pad = { id: 'Plemby test pad', index: 0, connected: true, mapping: 'standard',
                timestamp: 1, axes: [0, 0, 0, 0], buttons };
  let plugged = false;
  Object.defineProperty(navigator, 'getGamepads', {
    value: () => (plugged ? [pad, null, null, null] : [null, null, null, null]),
  });
  window.plembyPad = {
    plug() {
      plugged = true;
      const event = new Event('gamepadconnected');
      event.gamepad = pad;
      window.dispatchEvent(event);
    },
    set(button, down) {
      buttons[button] = { pressed: down, touched: down, value: down ? 1 : 0 };
      pad.timestamp += 1;
    },
  };
}

// A controller's button (standard layout: 0 A, 1 B, 12 up, 13 down), held until the game has
// seen it down, then up.
async function pressPad(page, button) {
  await page.evaluate((b) => window.plembyPad.set(b, true), button);
  await framesPass(page, 2);
  await page.evaluate((b) => window.plembyPad.set(b, false), button);
  await framesPass(page, 2);
}

async function fullScreen(page) {
  return page.waitForFunction(() => document.fullscreenElement !== null,
                              { timeout: WAIT_MS, polling: 50 }).then(() => true, () => false);
}
async function leaveFullScreen(page) {
  await page.evaluate(() => document.fullscreenElement && document.exitFullscreen());
  await page.waitForFunction(() => document.fullscreenElement === null, { timeout: WAIT_MS });
}

// The second page: a high-density screen (two device pixels to a page pixel), a browser that
// refuses the storage, and a controller plugged in once the game runs.
async function secondPage(browser, origin) {
  const context = await browser.createBrowserContext();
  const { page, lines } = await openGame(context, origin,
                                         { scale: 2, prepare: [refuseStorage, fakeGamepad] });
  await waitForPicture(page, desktopPicture('title'), 'the title on a high-density screen');
  const canvas = await page.evaluate(() => {
    const c = document.getElementById('canvas');
    return { width: c.width, height: c.height, cssWidth: c.clientWidth, cssHeight: c.clientHeight };
  });
  check(canvas.width === 2 * canvas.cssWidth && canvas.height === 2 * canvas.cssHeight,
        `the canvas is drawn at the screen's density (${canvas.width} x ${canvas.height} for ` +
        `${canvas.cssWidth} x ${canvas.cssHeight})`);
  check(await page.waitForFunction(() => !document.getElementById('storage-note').hidden,
                                   { timeout: WAIT_MS }).then(() => true, () => false),
        'a refused storage is told on the page');

  // The controller: A leaves the title for the menu, down lights an item of it.
  await page.evaluate(() => window.plembyPad.plug());
  await framesPass(page, 2);
  await pressPad(page, 0);
  const menu = await waitForPicture(page, desktopPicture('menu'), 'the menu from the controller');
  await pressPad(page, 13);
  await waitForPicture(page, (shot) => differingShare(shot, menu) > 0, 'a menu item lit by the controller');
  check(true, 'the controller drives the menu');

  // F10 and the page's button enter the browser's full screen.
  await press(page, 'F10');
  check(await fullScreen(page), 'F10 enters full screen');
  await leaveFullScreen(page);
  await page.evaluate(() => document.getElementById('plemby-test-hide').remove());
  await page.click('#fullscreen');
  check(await fullScreen(page), "the page's button enters full screen");
  await leaveFullScreen(page);

  // The game played on, and the refusal was told once.
  await framesPass(page, 5);
  const warnings = lines.filter((line) => line.includes('does not keep the saved files'));
  check(warnings.length === 1, `the refused storage is told once (${warnings.length} times)`);
  await page.close();
  await context.close();
}

// The phone: a landscape phone's screen, 844 x 390 CSS pixels at two device pixels each, with
// touch alone. The game's picture fills its height between two bars.
const PHONE = { width: 844, height: 390, deviceScaleFactor: 2, isMobile: true, hasTouch: true,
                isLandscape: true };
const PHONE_SCALE = PHONE.height / 768;
const PHONE_LEFT = (PHONE.width - 1024 * PHONE_SCALE) / 2;
// A screen told from the desktop's picture of it at a sixteenth of the size, where the phone's
// smaller picture, taken back up, agrees with it.
const sameScreen = (name, area = null) => (shot) =>
  differingShare(shrink(shot, 16), shrink(desktopPicture(name), 16), 24, area) <= 0.05;

// A finger on the page at (x, y) in CSS pixels, held until the game has seen it, then lifted.
async function touch(page, x, y) {
  await give(page, () => page.touchscreen.touchStart(x, y), 2);
  await give(page, () => page.touchscreen.touchEnd());
}
// A tap on the game's picture, at its own pixels.
const tapPicture = (page, x, y) => touch(page, PHONE_LEFT + x * PHONE_SCALE, y * PHONE_SCALE);
// False, with no touch, when the element is not shown.
async function tapElement(page, selector) {
  const element = await page.$(selector);
  const box = element && await element.boundingBox();
  if (!box) return false;
  await touch(page, box.x + box.width / 2, box.y + box.height / 2);
  return true;
}
const tapControl = (page, action) => tapElement(page, `.touch-control[data-action="${action}"]`);

// The page on a phone, from its own server: the title left by a tap, an option changed by a
// finger held on its button, a game played by the touch controls to a name typed with the
// device's keyboard (a tap on the picture meanwhile does not leave the table); the page never
// scrolled or zoomed, installs, draws at the screen's density, and starts again from its
// service worker once the server has stopped. Its picture in play goes to phone.png.
async function phonePage(browser, root) {
  const server = await serve(root);
  // The browser's own profile, as an installing player has (a private window installs nothing);
  // the server's own address keeps its storage and service worker apart from the other pages'.
  const origin = `http://127.0.0.1:${server.address().port}`;
  const { page } = await openGame(browser, origin, { viewport: PHONE });
  await waitForPicture(page, sameScreen('title'), 'the title on a phone');
  const canvas = await page.evaluate(() => {
    const c = document.getElementById('canvas');
    return { width: c.width, height: c.height, cssWidth: c.clientWidth, cssHeight: c.clientHeight };
  });
  check(canvas.width === 2 * canvas.cssWidth && canvas.height === 2 * canvas.cssHeight,
        `on the phone the canvas is drawn at the screen's density (${canvas.width} x ${canvas.height} ` +
        `for ${canvas.cssWidth} x ${canvas.cssHeight})`);
  await tapPicture(page, 512, 600);
  await waitForPicture(page, sameScreen('menu'), 'the menu after a tap');
  check(await page.waitForFunction(() => window.plembySound.context &&
                                         window.plembySound.context.state === 'running',
                                   { timeout: WAIT_MS }).then(() => true, () => false),
        'the sound starts with the first touch');

  // The music volume's - held for a while: the volume goes down as a held mouse button takes it.
  await tapPicture(page, 120, 570);
  const options = await waitForPicture(page, sameScreen('options'), 'the options after a tap');
  const VOLUME = { x: 880, y: 272, width: 96, height: 32 };
  await give(page, () => page.touchscreen.touchStart(PHONE_LEFT + 886 * PHONE_SCALE, 288 * PHONE_SCALE));
  await framesPass(page, 20);
  await give(page, () => page.touchscreen.touchEnd());
  check(differingShare(await settledPicture(page), options, 24, VOLUME) > 0.05,
        'a finger held on - turns the music volume down');
  await tapPicture(page, 603, 720);
  await waitForPicture(page, sameScreen('menu'), 'the menu after the options');

  // Games by touch until one takes a place in the table.
  const scoresFile = (kept) => Object.keys(kept).find((name) => name.endsWith('highscores.bin'));
  const replayBytes = (kept) => Object.keys(kept).filter((name) => name.endsWith('.plr'))
    .map((name) => kept[name].toString('hex')).join(' ');
  const naming = () => page.evaluate(() => !document.getElementById('type-name').hidden);
  let unnamed;
  for (let games = 0; ; ++games) {
    if (games >= 8) {
      check(false, 'a game by touch reaches the table within eight games');
      throw new Error('no place in the table');
    }
    await tapPicture(page, 478, 334);
    await waitForPicture(page, (shot) => !sameScreen('menu')(shot), 'the play screen on a phone');
    if (games === 0) {
      const targets = await page.evaluate(() => Array.from(document.querySelectorAll('.touch-control'))
        .map((c) => { const r = c.getBoundingClientRect(); return Math.min(r.width, r.height); }));
      check(targets.length === 8 && Math.min(...targets) >= 48,
            `the touch controls show, each at least 48 pixels across (${targets.map(Math.round).join(' ')})`);
      const before = await settledPicture(page);
      await tapControl(page, 'shift-left');
      await tapControl(page, 'shift-left');
      check(differingShare(await picture(page), before) > 0, 'a tap on a touch control moves the piece');
      writeFileSync(path.join(args.out, 'phone.png'), await page.screenshot({ type: 'png' }));
    }
    let files = await keptFiles(page);
    const replaysBefore = replayBytes(files);
    let drops = 0;
    for (; drops < 200 && replayBytes(files) === replaysBefore; ++drops) {
      if (!await tapControl(page, 'hard-drop')) await framesPass(page);
      files = await keptFiles(page);
    }
    check(drops > 1, `pieces dropped by touch (${drops} of them) until the game ends`);
    await waitForPicture(page, sameScreen('high-scores', { x: 10, y: 3, width: 45, height: 6 }),
                         'the high scores after a game by touch');
    unnamed = await keptFiles(page).then((kept) => kept[scoresFile(kept)]);
    if (await naming()) break;
    await tapPicture(page, 512, 700);
    await waitForPicture(page, sameScreen('menu'), 'the menu after a game without a place');
  }

  // The name, typed with the device's keyboard (text, as a phone's keyboard gives it).
  await tapElement(page, '#type-name');
  check(await page.evaluate(() => document.activeElement.id === 'name-field'),
        "the page's button opens the device's keyboard");
  await give(page, () => page.keyboard.sendCharacter('P'));
  await framesPass(page, 3);
  await tapPicture(page, 512, 200);
  check(await naming() && await page.evaluate(() => document.activeElement.id === 'name-field'),
        'a tap on the picture while the name is typed stays on the table, the keyboard up');
  await give(page, () => page.keyboard.sendCharacter('ho'));
  await framesPass(page, 3);
  await give(page, () => page.keyboard.sendCharacter('ne'));
  await framesPass(page, 3);
  await give(page, () => page.keyboard.press('Enter'));
  const named = (kept) => kept[scoresFile(kept)] && !(unnamed && kept[scoresFile(kept)].equals(unnamed));
  let kept = await keptFiles(page);
  for (const until = Date.now() + WAIT_MS; !named(kept) && Date.now() < until;) {
    await sleep(200);
    kept = await keptFiles(page);
  }
  check(named(kept), 'the name typed on the phone is kept in the table');
  check(await page.waitForFunction(() => document.getElementById('type-name').hidden,
                                   { timeout: WAIT_MS }).then(() => true, () => false),
        "the page's keyboard button goes with the name entry");

  check(await page.evaluate(() => window.scrollX === 0 && window.scrollY === 0 &&
                            document.scrollingElement.scrollTop === 0 && visualViewport.scale === 1 &&
                            visualViewport.offsetLeft === 0 && visualViewport.offsetTop === 0 &&
                            String(getSelection()) === ''),
        'the page on the phone never scrolled, zoomed or selected');
  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0,
        `the page is installable${installabilityErrors.length ? ': ' + JSON.stringify(installabilityErrors) : ''}`);

  // With the server stopped, the page starts again from its service worker.
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: WAIT_MS });
  const errorsOnline = errors.length;
  server.closeAllConnections();
  await new Promise((resolve) => server.close(resolve));
  check(await page.evaluate(() => fetch('/not-kept').then(() => false, () => true)),
        'the server has stopped (and other addresses pass the service worker)');
  await page.reload({ waitUntil: 'load' });
  await hidePageNotes(page);
  await waitForPicture(page, sameScreen('title'), 'the title from the service worker');
  check(true, 'the game starts again from its service worker with the server stopped');
  await page.close();
  // What the browser says of the addresses it could not reach is no fault of the page.
  const offline = errors.splice(errorsOnline);
  errors.push(...offline.filter((line) => !/ERR_CONNECTION_REFUSED|Failed to fetch|ServiceWorker/.test(line)));
}

// The page started as the command line `--replay FILE --pause-at FRAME` starts the desktop game:
// the page hands the game these arguments.
function watchReplayAt(file, frame) {
  let module;
  Object.defineProperty(window, 'Module', {
    configurable: true,
    get() { return module; },
    set(value) {
      value.arguments = ['--replay', file, '--pause-at', String(frame)];
      module = value;
    },
  });
}

// A scripted play frame: the browser's replay, paused at the same frame by the page and by the
// desktop game, looks the same in both.
async function playFrame(browser, origin, replayPath, replayFile) {
  const desktopShot = path.join(args.out, 'play-frame-desktop.png');
  const desktop = spawnSync(path.join(path.dirname(new URL(import.meta.url).pathname), 'desktop_frame.sh'),
                            [path.join(args.desktop, 'plemby'), replayFile, String(PLAY_FRAME), desktopShot],
                            { encoding: 'utf8' });
  if (!check(desktop.status === 0, `the desktop game shows the replay paused: ${desktop.stderr}`)) return;
  const { page, lines } = await openGame(browser, origin,
                                         { prepare: [[watchReplayAt, replayPath, PLAY_FRAME]] });
  const said = `plemby: the replay is paused at frame ${PLAY_FRAME}`;
  for (const until = Date.now() + WAIT_MS; !lines.includes(said) && Date.now() < until;) await sleep(100);
  check(lines.includes(said), 'the page pauses the replay at the frame asked for');
  await framesPass(page, 2);
  const wanted = readPng(readFileSync(desktopShot));
  const shot = await waitForPicture(page, wanted, 'the play frame as the desktop draws it');
  check(true, `the play frame looks as the desktop draws it (${(100 * differingShare(shot, wanted)).toFixed(2)}% ` +
              'of the pixels more than 8 levels apart)');
  await page.close();
}

async function musicCheck(browser, origin) {
  const page = await browser.newPage();
  const lines = [];
  page.on('console', (message) => lines.push(message.text()));
  await page.goto(`${origin}/check/musiccheck.html`, { waitUntil: 'load' });
  const until = Date.now() + 10 * WAIT_MS;
  while (!lines.includes('done') && Date.now() < until) await sleep(200);
  await page.close();
  return lines.filter((line) => line.startsWith('song '));
}

function songLines(lines) {
  const songs = {};
  for (const line of lines) {
    const [, id, build, , ms, , ...blocks] = line.split(' ');
    songs[`${id} ${build}`] = { ms: Number(ms), blocks };
  }
  return songs;
}

// The page's files, raw and gzipped: what a player downloads stays within 4 MB.
function pageSizes() {
  let gzipped = 0;
  for (const name of ['index.html', 'touch.js', 'plemby.js', 'plemby.wasm', 'icon.png', 'icon-192.png',
                      'icon-512.png', 'manifest.webmanifest', 'service-worker.js']) {
    const bytes = readFileSync(path.join(args.web, name));
    const packed = gzipSync(bytes, { level: 9 }).length;
    gzipped += packed;
    console.log(`${name}: ${bytes.length} bytes, ${packed} gzipped`);
  }
  check(gzipped <= 4 * 1000 * 1000, `the page is ${gzipped} bytes gzipped, at most 4 MB`);
}

async function main() {
  pageSizes();
  const server = await serve(path.resolve(args.web));
  const origin = `http://127.0.0.1:${server.address().port}`;
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader'],
  });
  try {
    // The title, then the menu on the first key, which also lets the sound start.
    const { page, started } = await openGame(browser, origin);
    await waitForPicture(page, desktopPicture('title'), 'the title');
    console.log(`time to the title's picture: ${Date.now() - started} ms`);
    await press(page, 'Space');
    await waitForPicture(page, desktopPicture('menu'), 'the menu');
    const soundFrom = Date.now();
    check(await page.waitForFunction(() => window.plembySound.context &&
                                           window.plembySound.context.state === 'running',
                                     { timeout: WAIT_MS }).then(() => true, () => false),
          'the audio context runs after the first key');

    // An option changed: R reverses the turning, which the options screen shows.
    const options = desktopPicture('options');
    await clickTo(page, 120, 570, options, 'the options');
    await press(page, 'KeyR');
    const changedOptions = await waitForPicture(page, (shot) => differingShare(shot, options) > 0,
                                                'the changed option');
    await press(page, 'Escape');
    await waitForPicture(page, desktopPicture('menu'), 'the menu again');

    // A game: the piece moves and drops, and the well fills until the game is over. A game
    // whose score does not reach the table (its last row has 1024 at first) is followed by
    // another, until one does: the pieces come at random.
    const scoresFile = (kept) => Object.keys(kept).find((name) => name.endsWith('highscores.bin'));
    const replayBytes = (kept) => Object.keys(kept).filter((name) => name.endsWith('.plr'))
      .map((name) => kept[name].toString('hex')).join(' ');
    let unnamed;
    for (let games = 0; unnamed === undefined; ++games) {
      if (games > 0) {
        if (!check(games < 8, 'a game reaches the table within eight games')) throw new Error('no place in the table');
        await press(page, 'Escape');
        await waitForPicture(page, desktopPicture('menu'), 'the menu after a game without a place');
      }
      await clickTo(page, 478, 334, (shot) => differingShare(shot, desktopPicture('menu')) > 0.5,
                    'the play screen');
      if (games === 0) {
        const beforeMove = await settledPicture(page);
        await press(page, 'ArrowLeft');
        await press(page, 'ArrowLeft');
        check(differingShare(await picture(page), beforeMove) > 0, 'the piece moves');
      }
      // The page keeps the game's replay as soon as the game is over.
      let files = await keptFiles(page);
      const before = replayBytes(files);
      let drops = 0;
      const replayKept = () => replayBytes(files) !== before;
      for (; drops < 200 && !replayKept(); ++drops) {
        await press(page, 'ArrowDown');
        files = await keptFiles(page);
      }
      check(drops > 1 && replayKept(), `pieces drop (${drops} of them) until the game ends`);
      // The high-score screen follows the fade to black, with its name entry when the score
      // took a place (and the table was stored with it).
      await waitForPicture(page, isHighScores, 'the high scores after the game');
      unnamed = await keptFiles(page).then((kept) => kept[scoresFile(kept)]);
    }
    for (const key of ['KeyW', 'KeyE', 'KeyB', 'Enter']) await press(page, key);
    const namedTable = (kept) => kept[scoresFile(kept)] &&
                                 !(unnamed && kept[scoresFile(kept)].equals(unnamed));
    let kept = await keptFiles(page);
    for (const until = Date.now() + WAIT_MS; !namedTable(kept) && Date.now() < until;) {
      await sleep(200);
      kept = await keptFiles(page);
    }
    check(namedTable(kept), 'the page keeps the table with the name');

    // The replay of the game, kept by the page, verifies with the desktop game.
    const replays = Object.keys(kept).filter((name) => name.endsWith('.plr'));
    if (check(replays.length > 0, 'the page keeps the replay of the game')) {
      const file = path.join(args.out, 'browser-game.plr');
      writeFileSync(file, kept[replays[0]]);
      const verify = spawnSync(path.join(args.desktop, 'plemby'), ['--verify-replay', file],
                               { encoding: 'utf8' });
      check(verify.status === 0, `the desktop game verifies the browser's replay: ${verify.stdout}${verify.stderr}`);
    }

    // The table as the HIGH SCORES screen shows it from the menu: the name is in it.
    await press(page, 'Escape');
    await waitForPicture(page, desktopPicture('menu'), 'the menu after the game');
    const table = await clickTo(page, HIGH_SCORES_ITEM.x, HIGH_SCORES_ITEM.y, isHighScores,
                                'the high scores from the menu', CORNER);
    check(differingShare(table, desktopPicture('high-scores'), 8, TABLE_ROWS) > 0.001,
          'the HIGH SCORES screen shows the new name in the table');
    await press(page, 'Escape');
    await waitForPicture(page, desktopPicture('menu'), 'the menu after the table');

    // The sound: at least 60 s of it, not silent, without a gap.
    await sleep(Math.max(0, SOUND_SECONDS * 1000 - (Date.now() - soundFrom)));
    const sound = await page.evaluate(() => {
      const { buffers, seconds, loudest, longestSilentRun } = window.plembySound;
      return { buffers, seconds, loudest, longestSilentRun };
    });
    console.log(`sound: ${JSON.stringify(sound)}`);
    check(sound.seconds >= SOUND_SECONDS - 5 && sound.loudest > 0.01, 'the page sounds for 60 s');
    check(sound.longestSilentRun < 0.25, 'the sound has no gap');

    // The keys the game was given never reached the browser's own use (scrolling the page).
    const keys = await page.evaluate(() => window.plembyKeys);
    const loose = keys.filter((key) => KEPT_KEYS.includes(key.code) && !key.kept).map((key) => key.code);
    check(keys.some((key) => key.code === 'ArrowDown') && loose.length === 0,
          `the game's keys never scroll the page${loose.length ? ': ' + loose.join(' ') : ''}`);
    check(await page.evaluate(() => window.scrollX === 0 && window.scrollY === 0 &&
                              document.scrollingElement.scrollTop === 0), 'the page has not scrolled');

    // After a reload the table (shown on screen as before) and the changed option are there.
    await page.reload({ waitUntil: 'load' });
    await hidePageNotes(page);
    await waitForPicture(page, desktopPicture('title'), 'the title after the reload');
    await press(page, 'Space');
    await waitForPicture(page, desktopPicture('menu'), 'the menu after the reload');
    const tableAfter = await clickTo(page, HIGH_SCORES_ITEM.x, HIGH_SCORES_ITEM.y, isHighScores,
                                     'the high scores after the reload', CORNER);
    check(differingShare(tableAfter, table, 8) === 0, 'the table with the name outlives the reload');
    await press(page, 'Escape');
    await waitForPicture(page, desktopPicture('menu'), 'the menu after the table again');
    await clickTo(page, 120, 570, changedOptions, 'the changed option after the reload');
    check(true, 'the changed option outlives the reload');
    await page.close();

    if (replays.length > 0) {
      await playFrame(browser, origin, replays[0], path.join(args.out, 'browser-game.plr'));
    }
    await secondPage(browser, origin);
    await phonePage(browser, path.resolve(args.web));

    // The music: the same samples as the desktop's, block by block.
    const browserSongs = songLines(await musicCheck(browser, origin));
    const desktop = spawnSync(path.join(args.desktop, 'musiccheck'), [String(SOUND_SECONDS)],
                              { encoding: 'utf8', maxBuffer: 1 << 26 });
    const desktopSongs = songLines(desktop.stdout.split('\n').filter((l) => l.startsWith('song ')));
    check(Object.keys(desktopSongs).length === 6, 'the desktop renders the built-in songs');
    for (const [song, { ms, blocks }] of Object.entries(desktopSongs)) {
      const there = browserSongs[song];
      const same = there && there.blocks.length === blocks.length &&
                   there.blocks.every((block, i) => block === blocks[i]);
      check(same, `song ${song}: the browser renders the desktop's samples (${blocks.length} blocks)`);
      if (there) console.log(`song ${song}: ${there.ms.toFixed(0)} ms in the browser, ${ms.toFixed(0)} ms on the desktop (this build)`);
    }
  } finally {
    await browser.close();
    server.close();
  }
  check(errors.length === 0, `no console error${errors.length ? ': ' + errors.join(' | ') : ''}`);
  if (failures > 0) {
    console.log(`road_test: ${failures} check(s) failed`);
    process.exit(1);
  }
  console.log('road_test: all checks passed');
}

main().catch((error) => {
  console.log(`FAIL ${error.stack || error}`);
  process.exit(1);
});
