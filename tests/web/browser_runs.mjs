// Runs the browser build in Debian's Chromium, headless, for tests/e2e/browser.sh.
//   node browser_runs.mjs SITE SCRATCH OUT RUNS.json
// Serves SITE (the built site) with SCRATCH over it on 127.0.0.1, then for each run of RUNS (a
// list of {name, args, files: [paths in SCRATCH], read: [files the game writes], input, pad,
// renderScale, query, storage, click, until, offline}) opens the page with ?args=, ?file= and
// the raw query, first choosing renderScale in the page's settings as a player does when it is
// set, plays real keys and mouse when input is set or a scripted game pad when pad is set, waits
// for the page's state until (default "ended"), and writes OUT/NAME.FILE for each file read and
// OUT/NAME.json with the page's state, exit code, dialogs, texts, the addresses it asked for and
// timings.
//   storage: false   the page's localStorage, sessionStorage and indexedDB throw, as in a
//                    browser that refuses the site's storage;
//   click: true      the player's "Click to play" once the page is ready;
//   offline: true    a first visit until the site is kept, then the server stops for good and
//                    the run is a second visit (so it comes last).
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [site, scratch, out, runsPath] = process.argv.slice(2);
const runs = JSON.parse(fs.readFileSync(runsPath, 'utf8'));
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.data': 'application/octet-stream', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json' };

const server = http.createServer((request, reply) => {
  const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/+/, '') ||
    'index.html';
  for (const root of [scratch, site]) {
    const file = path.join(root, name);
    if (file.startsWith(root) && fs.existsSync(file) && fs.statSync(file).isFile()) {
      reply.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'text/plain' });
      fs.createReadStream(file).pipe(reply);
      return;
    }
  }
  reply.writeHead(404);
  reply.end();
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}/`;

// WebGL on the CPU (SwiftShader): no GPU is needed.
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  protocolTimeout: 600000,
  args: ['--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--autoplay-policy=no-user-gesture-required', '--window-size=1000,800'],
});
let failed = false;
for (const run of runs) {
  let page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  const log = [];
  page.on('console', (m) => log.push(m.text()));
  page.on('pageerror', (e) => log.push('page error: ' + e.message));
  const requests = [];
  page.on('request', (r) => requests.push(r.url()));
  if (run.storage === false) {
    await page.evaluateOnNewDocument(() => {
      for (const name of ['localStorage', 'sessionStorage', 'indexedDB']) {
        Object.defineProperty(window, name, { get: () => { throw new DOMException('refused', 'SecurityError'); } });
      }
    });
  }
  const query = new URLSearchParams();
  if (run.args) query.set('args', run.args);
  for (const file of run.files || []) query.append('file', file);
  if (run.renderScale) {
    // The page's own settings: the choice is kept in the browser for the game opened next.
    await page.goto(base);
    await page.select('#renderscale', run.renderScale);
  }
  if (run.pad) {
    // A stand-in for the Gamepad API: a standard pad, plugged in by plugPad(true) with its left
    // stick forward and its right stick half right, and unplugged by plugPad(false).
    await page.evaluateOnNewDocument(() => {
      const pads = [];
      navigator.getGamepads = () => pads;
      window.plugPad = (on) => {
        const pad = { id: 'scripted pad', index: 0, connected: on, mapping: 'standard',
          timestamp: 0, axes: [0, -1, 0.5, 0],
          buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
        pads[0] = on ? pad : null;
        const event = new Event(on ? 'gamepadconnected' : 'gamepaddisconnected');
        window.dispatchEvent(Object.assign(event, { gamepad: pad }));
      };
    });
  }
  const address = base + '?' + query.toString() + (run.query ? '&' + run.query : '');
  if (run.offline) {
    await page.goto(address);
    await page.waitForFunction(() => window.ostravel && window.ostravel.kept === true,
      { timeout: 300000, polling: 200 });
    await page.close();
    server.closeAllConnections();
    await new Promise((resolve) => server.close(resolve));
    page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 800 });
    page.on('console', (m) => log.push(m.text()));
    page.on('request', (r) => requests.push(r.url()));
  }
  const opened = Date.now();
  await page.goto(address);
  const state = run.until || 'ended';
  if (run.click) {
    await page.waitForFunction(() => window.ostravel && window.ostravel.state === 'ready',
      { timeout: 120000, polling: 100 });
    await page.click('#play');
  }
  const ended = (s) => window.ostravel && (window.ostravel.state === s || window.ostravel.state === 'ended');
  if (run.input) {
    // Real input through the browser: a click on the canvas, W held, the mouse swept right.
    await page.waitForFunction(() => window.ostravel && window.ostravel.state === 'running',
      { timeout: 120000, polling: 100 });
    const box = await (await page.$('#canvas')).boundingBox();
    const x = box.x + box.width / 2, y = box.y + box.height / 2;
    await page.mouse.move(x, y);
    await page.mouse.click(x, y);
    await page.keyboard.down('KeyW');
    for (let i = 1; i <= 20; ++i) {
      await page.mouse.move(x + 6 * i, y);
      await new Promise((r) => setTimeout(r, 50));
    }
    await new Promise((r) => setTimeout(r, 1000));
    await page.keyboard.up('KeyW');
  }
  if (run.pad) {
    await page.waitForFunction(() => window.ostravel && window.ostravel.state === 'running',
      { timeout: 120000, polling: 100 });
    await page.evaluate(() => window.plugPad(true));
    await new Promise((r) => setTimeout(r, 1000));
    await page.evaluate(() => window.plugPad(false));
  }
  try {
    await page.waitForFunction(ended, { timeout: (run.seconds || 300) * 1000, polling: 200 }, state);
  } catch (e) {
    failed = true;
    log.push('timed out waiting for the end: ' + e.message);
  }
  const result = await page.evaluate(() => ({
    state: window.ostravel && window.ostravel.state,
    exitCode: window.ostravel && window.ostravel.exitCode,
    error: window.ostravel && window.ostravel.error,
    firstFrameMs: window.ostravel && window.ostravel.firstFrameMs,
    endedMs: window.ostravel && window.ostravel.endedMs,
    startedMs: window.ostravel && window.ostravel.started,
    dialogs: document.getElementById('dialogs').innerText,
    cover: document.getElementById('cover').innerText,
    settings: document.getElementById('kept').textContent,
    fromCopy: window.ostravel && window.ostravel.fromCopy,
    now: performance.now(),
  }));
  result.wallMs = Date.now() - opened;
  result.log = log;
  result.requests = requests;
  for (const file of run.read || []) {
    try {
      const bytes = await page.evaluate((p) => window.ostravel.readFile(p), file);
      fs.writeFileSync(path.join(out, run.name + '.' + path.basename(file)), Buffer.from(bytes));
    } catch (e) {
      log.push('cannot read ' + file + ': ' + e.message);
    }
  }
  fs.writeFileSync(path.join(out, run.name + '.json'), JSON.stringify(result, null, 1));
  // The next run starts from the page's default settings (a page without storage has none).
  if (run.storage !== false) await page.evaluate(() => localStorage.clear());
  await page.close();
}
await browser.close();
server.close();
process.exit(failed ? 1 : 0);
