// The browser build's cost in headless Chromium on this machine: the time from navigation to
// the title's first picture, then the CPU share of all of Chromium's processes on each kind of
// page, side by side in one run: an empty page (its animation callback does nothing), a canvas
// redrawn in every callback, the game's still main menu and the game in play (a game left to
// fall), each with the music on and off. Every kind is measured ROUNDS times, the rounds
// interleaved so that a change in the machine's load touches every kind alike; the median
// counts. Usage (after make test-web):
//   node bench/web_cpu.mjs build-web build-webtest/node_modules
import { readFileSync, readdirSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';

const [web, modules] = process.argv.slice(2);
const puppeteer = createRequire(path.resolve(modules) + '/')('puppeteer-core');
const SECONDS = 10;
const ROUNDS = 3;
const SETTLE_MS = 2000;  // after a page has reached what is measured, before the measurement
const TICKS = 100;  // the kernel's clock ticks a second, as /proc counts CPU time
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The two yardsticks, served beside the game.
const YARDSTICKS = {
  '/empty.html': `<!doctype html><body style="margin:0;background:#000"><script>
    function turn() { requestAnimationFrame(turn); }
    requestAnimationFrame(turn);
  </script></body>`,
  '/redrawn.html': `<!doctype html><body style="margin:0;background:#000">
    <canvas id="c" style="display:block;width:100vw;height:100vh"></canvas><script>
    const canvas = document.getElementById('c');
    canvas.width = innerWidth * devicePixelRatio;
    canvas.height = innerHeight * devicePixelRatio;
    const gl = canvas.getContext('webgl');
    function turn(time) {
      gl.clearColor((time / 1000) % 1, 0.2, 0.4, 1);
      gl.clear(gl.COLOR_BUFFER_BIT);
      requestAnimationFrame(turn);
    }
    requestAnimationFrame(turn);
  </script></body>`,
};
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const server = createServer((request, response) => {
  const name = new URL(request.url, 'http://x').pathname;
  if (YARDSTICKS[name]) {
    response.writeHead(200, { 'Content-Type': 'text/html' }).end(YARDSTICKS[name]);
    return;
  }
  try {
    const body = readFileSync(path.join(web, name === '/' ? 'index.html' : name));
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(name)] || 'text/html' }).end(body);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

// CPU ticks of a process and all that descend from it.
function treeTicks(root) {
  const children = new Map();
  const ticks = new Map();
  for (const entry of readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = readFileSync(`/proc/${entry}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const parent = Number(fields[1]);
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(Number(entry));
      ticks.set(Number(entry), Number(fields[11]) + Number(fields[12]));
    } catch { /* gone meanwhile */ }
  }
  let total = 0;
  const walk = (pid) => {
    total += ticks.get(pid) || 0;
    for (const child of children.get(pid) || []) walk(child);
  };
  walk(root);
  return total;
}

const browser = await puppeteer.launch({
  executablePath: process.env.PLEMBY_CHROMIUM || '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader'],
});
const pid = browser.process().pid;

async function cpuShare() {
  const before = treeTicks(pid);
  await sleep(SECONDS * 1000);
  return (treeTicks(pid) - before) / TICKS / SECONDS;
}

async function openPage(address) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1024, height: 768, deviceScaleFactor: 1 });
  await page.goto(address);
  return { page, context };
}

// The game's page, once its picture shows.
async function openGame() {
  const started = Date.now();
  const opened = await openPage(`${origin}/`);
  for (;;) {
    const shot = await opened.page.screenshot({ type: 'jpeg', quality: 50, encoding: 'binary' });
    if (shot.length > 20000) break;
    await sleep(20);
  }
  opened.firstPicture = Date.now() - started;
  // The service worker has kept the page's files before anything is measured.
  await opened.page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
  return opened;
}

// Held for a few frames: the game reads the keys and the button once a frame.
async function press(page, key) {
  await page.keyboard.press(key, { delay: 150 });
  await sleep(1000);
}
async function menu(musicOn) {
  const opened = await openGame();
  await press(opened.page, 'Space');
  if (!musicOn) await press(opened.page, 'KeyM');
  return opened;
}
async function play(musicOn) {
  const opened = await menu(musicOn);
  await opened.page.mouse.move(478, 334);
  await sleep(100);
  await opened.page.mouse.click(478, 334, { delay: 150 });
  await sleep(1000);
  await opened.page.mouse.move(1010, 10);
  return opened;
}

const KINDS = [
  { name: 'empty page (its animation callback does nothing)', open: () => openPage(`${origin}/empty.html`) },
  { name: 'canvas redrawn in every callback', open: () => openPage(`${origin}/redrawn.html`) },
  { name: 'still screen (main menu), music on', open: () => menu(true), still: true },
  { name: 'still screen (main menu), music off', open: () => menu(false), still: true },
  { name: 'play (a game left to fall), music on', open: () => play(true), play: true },
  { name: 'play (a game left to fall), music off', open: () => play(false), play: true },
];
const shares = KINDS.map(() => []);
let firstPicture = null;
for (let round = 0; round < ROUNDS; ++round) {
  for (let i = 0; i < KINDS.length; ++i) {
    const { page, context, firstPicture: shown } = await KINDS[i].open();
    if (shown !== undefined && firstPicture === null) firstPicture = shown;
    await sleep(SETTLE_MS);
    shares[i].push(await cpuShare());
    await page.close();
    await context.close();
  }
}
await browser.close();
server.close();

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const empty = median(shares[0]);
console.log(`time to the title's first picture: ${firstPicture} ms`);
console.log(`CPU share of Chromium's processes, % of one core, the median of ${ROUNDS} runs of ` +
            `${SECONDS} s (all runs in brackets), and its ratio to the empty page:`);
for (let i = 0; i < KINDS.length; ++i) {
  const share = median(shares[i]);
  const runs = shares[i].map((s) => (100 * s).toFixed(1)).join(' ');
  console.log(`  ${KINDS[i].name.padEnd(52)} ${(100 * share).toFixed(1).padStart(5)} %` +
              `  (${runs})  ${(share / empty).toFixed(2)}x`);
}
const worst = (which) => Math.max(...KINDS.map((kind, i) => (kind[which] ? median(shares[i]) / empty : 0)));
console.log(`aim: still screens at most 1.2x the empty page (here ${worst('still').toFixed(2)}x), ` +
            `play at most 2x (here ${worst('play').toFixed(2)}x)`);
