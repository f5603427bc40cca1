// The browser build's road test: serves build-web/ on 127.0.0.1, plays the page in Debian's
// Chromium, headless, driven through puppeteer-core, and walks a player's whole road: the page
// loads without a console error, the title shows, keys start a game whose piece moves and drops,
// the finished game's name is stored, a changed option and the table are still there after a
// reload, the sound runs for 60 s without a gap, the pictures match the desktop's, a replay
// recorded in the page verifies with the desktop game, and the music renders the same samples
// as the desktop's.
//
// Usage: node road_test.mjs --web build-web --modules DIR_WITH_node_modules
//          --desktop DESKTOP_BUILD --pictures DESKTOP_PICTURES --out SCRATCH
// Every wait has a generous bound and checks the picture it waits for; nothing depends on timing.
import { spawnSync } from 'node:child_process';
import { createReadStream, existsSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { gzipSync } from 'node:zlib';
import { createRequire } from 'node:module';
import path from 'node:path';

import { differingShare, readPng } from './png.mjs';

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
                '.png': 'image/png' };
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

// The pictures compared are the game's: the page's notes and button over the canvas are hidden.
async function hidePageNotes(page) {
  await page.addStyleTag({ content: '.note, #fullscreen { visibility: hidden !important; }' });
}

// The canvas fills the 1024 x 768 page, one pixel of the game's picture to one of the page.
async function picture(page) {
  return readPng(Buffer.from(await page.screenshot({ type: 'png' })));
}

// Waits until the picture matches `wanted` (a picture, or a test of one); returns the picture.
async function waitForPicture(page, wanted, what) {
  const test = typeof wanted === 'function' ? wanted : (shot) => differingShare(shot, wanted) <= MOST_DIFFERING;
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

// A picture that no longer changes: two looks a moment apart agree.
async function settledPicture(page) {
  let last = await picture(page);
  for (let i = 0; i < WAIT_MS / 300; ++i) {
    await sleep(300);
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

// The game reads the keys once a frame: each is held for a few frames.
async function press(page, key) {
  await page.keyboard.down(key);
  await sleep(200);
  await page.keyboard.up(key);
  await sleep(60);
}
// A click, then the pointer rests where it lights no menu item, as the desktop's pictures have it.
async function click(page, x, y) {
  // The menu follows the pointer again once it sees it move: it moves in two steps, and rests
  // over the item for a few frames before the button goes down.
  await page.mouse.move(x - 20, y - 10);
  await sleep(200);
  await page.mouse.move(x, y);
  await sleep(400);
  await page.mouse.down();
  await sleep(300);
  await page.mouse.up();
  await sleep(60);
  await page.mouse.move(700, 520);
}

// A click that leads to another screen, clicked again (as a player would) while the screen it
// was meant for has not come after a few seconds: a busy machine may show the page no frame
// while the button is down.
async function clickTo(page, x, y, wanted, what) {
  const test = typeof wanted === 'function' ? wanted : (shot) => differingShare(shot, wanted) <= MOST_DIFFERING;
  for (let attempt = 0; attempt < 5; ++attempt) {
    await click(page, x, y);
    const until = Date.now() + 5000;
    let shot = null;
    while (Date.now() < until) {
      shot = await picture(page);
      if (test(shot)) return waitForPicture(page, test, what);
      await sleep(100);
    }
    writeFileSync(path.join(args.out, `${what.replace(/\W+/g, '-')}-${attempt}.rgb`), shot.rgb);
  }
  return waitForPicture(page, test, what);
}

function desktopPicture(name) {
  return readPng(readFileSync(path.join(args.pictures, `${name}.png`)));
}

async function openGame(browser, origin) {
  const page = await browser.newPage();
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.setViewport({ width: 1024, height: 768, deviceScaleFactor: 1 });
  await page.evaluateOnNewDocument(tapSound);
  const started = Date.now();
  await page.goto(`${origin}/`, { waitUntil: 'load' });
  await hidePageNotes(page);
  return { page, started };
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
  for (const name of ['index.html', 'plemby.js', 'plemby.wasm', 'icon.png']) {
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
    check(await page.evaluate(() => window.plembySound.context &&
                                    window.plembySound.context.state === 'running'),
          'the audio context runs after the first key');

    // An option changed: R reverses the turning, which the options screen shows.
    const options = desktopPicture('options');
    await clickTo(page, 120, 570, options, 'the options');
    await press(page, 'KeyR');
    const changedOptions = await waitForPicture(page, (shot) => differingShare(shot, options) > 0,
                                                'the changed option');
    await press(page, 'Escape');
    await waitForPicture(page, desktopPicture('menu'), 'the menu again');

    // A game: the piece moves and drops, and the well fills until the game is over.
    await clickTo(page, 478, 334, (shot) => differingShare(shot, desktopPicture('menu')) > 0.5,
                  'the play screen');
    await sleep(500);
    const beforeMove = await settledPicture(page);
    await press(page, 'ArrowLeft');
    await press(page, 'ArrowLeft');
    check(differingShare(await picture(page), beforeMove) > 0, 'the piece moves');
    // The page keeps the game's replay as soon as the game is over.
    let drops = 0;
    let files = {};
    const replayKept = () => Object.keys(files).some((name) => name.endsWith('.plr'));
    for (; drops < 200 && !replayKept(); ++drops) {
      await press(page, 'ArrowDown');
      await sleep(150);
      files = await keptFiles(page);
    }
    check(drops > 1 && replayKept(), `pieces drop (${drops} of them) until the game ends`);
    // The high-score screen with its name entry follows the fade to black.
    await waitForPicture(page, (shot) => darkShare(shot) < 0.9, 'the high scores after the game');
    for (const key of ['KeyW', 'KeyE', 'KeyB', 'Enter']) await press(page, key);
    await settledPicture(page);
    const scoresFile = (kept) => Object.keys(kept).find((name) => name.endsWith('highscores.bin'));
    const scoresBefore = await keptFiles(page).then((kept) => kept[scoresFile(kept)]);
    check(scoresBefore !== undefined, 'the page keeps the table with the name');

    // The replay of the game, kept by the page, verifies with the desktop game.
    files = await keptFiles(page);
    const replays = Object.keys(files).filter((name) => name.endsWith('.plr'));
    if (check(replays.length > 0, 'the page keeps the replay of the game')) {
      const file = path.join(args.out, 'browser-game.plr');
      writeFileSync(file, files[replays[0]]);
      const verify = spawnSync(path.join(args.desktop, 'plemby'), ['--verify-replay', file],
                               { encoding: 'utf8' });
      check(verify.status === 0, `the desktop game verifies the browser's replay: ${verify.stdout}${verify.stderr}`);
    }

    // The sound: at least 60 s of it, not silent, without a gap.
    await sleep(Math.max(0, SOUND_SECONDS * 1000 - (Date.now() - soundFrom)));
    const sound = await page.evaluate(() => {
      const { buffers, seconds, loudest, longestSilentRun } = window.plembySound;
      return { buffers, seconds, loudest, longestSilentRun };
    });
    console.log(`sound: ${JSON.stringify(sound)}`);
    check(sound.seconds >= SOUND_SECONDS - 5 && sound.loudest > 0.01, 'the page sounds for 60 s');
    check(sound.longestSilentRun < 0.25, 'the sound has no gap');

    // After a reload the table and the changed option are still there.
    await page.reload({ waitUntil: 'load' });
    await hidePageNotes(page);
    await waitForPicture(page, desktopPicture('title'), 'the title after the reload');
    await press(page, 'Space');
    await waitForPicture(page, desktopPicture('menu'), 'the menu after the reload');
    const scoresAfter = await keptFiles(page).then((kept) => kept[scoresFile(kept)]);
    check(scoresBefore && scoresAfter && scoresBefore.equals(scoresAfter), 'the table outlives the reload');
    await clickTo(page, 120, 570, changedOptions, 'the changed option after the reload');
    check(true, 'the changed option outlives the reload');
    await page.close();

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
