// The browser build's cost in headless Chromium on this machine: the time from navigation to
// the title's first picture, and the CPU share of all of Chromium's processes over 20 s on the
// still title screen and in a game left to fall. Usage (after make test-web):
//   node bench/web_cpu.mjs build-web build-webtest/node_modules
import { readFileSync, readdirSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';

const [web, modules] = process.argv.slice(2);
const puppeteer = createRequire(path.resolve(modules) + '/')('puppeteer-core');
const SECONDS = 20;
const TICKS = 100;  // the kernel's clock ticks a second, as /proc counts CPU time
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.png': 'image/png' };
const server = createServer((request, response) => {
  const name = new URL(request.url, 'http://x').pathname;
  try {
    const body = readFileSync(path.join(web, name === '/' ? 'index.html' : name));
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(name)] || 'text/html' }).end(body);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));

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

async function cpuShare(pid) {
  const before = treeTicks(pid);
  await sleep(SECONDS * 1000);
  return (treeTicks(pid) - before) / TICKS / SECONDS;
}

const browser = await puppeteer.launch({
  executablePath: process.env.PLEMBY_CHROMIUM || '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader'],
});
const page = await browser.newPage();
await page.setViewport({ width: 1024, height: 768, deviceScaleFactor: 1 });
const started = Date.now();
await page.goto(`http://127.0.0.1:${server.address().port}/`);
// The first picture: the canvas no longer black.
for (;;) {
  const shot = await page.screenshot({ type: 'jpeg', quality: 50, encoding: 'binary' });
  if (shot.length > 20000) break;
  await sleep(20);
}
console.log(`time to the title's first picture: ${Date.now() - started} ms`);
const pid = browser.process().pid;
await sleep(3000);
console.log(`CPU share, still title screen: ${(await cpuShare(pid) * 100).toFixed(1)} % of one core`);
// Held for a few frames: the game reads the keys and the button once a frame.
await page.keyboard.press('Space', { delay: 150 });
await sleep(1500);
await page.mouse.move(478, 334);
await sleep(100);
await page.mouse.click(478, 334, { delay: 150 });
await sleep(1500);
console.log(`CPU share, in play: ${(await cpuShare(pid) * 100).toFixed(1)} % of one core`);
await browser.close();
server.close();
