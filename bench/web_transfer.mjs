// Bytes over the wire and the time to the intro for the browser build, as a player gets them: the
// page opened, Enter on "Start Tapdash", the intro heard, the rest of the pack fetched behind it
// and, where the page has a service worker, this build kept for offline. Each round is a fresh
// browser: a first visit, then a second in the same browser. Bytes are counted on a loopback
// proxy in front of the server (headers and compressed bodies, the service worker's own fetches
// too); prints each round and the medians. The button is pressed as soon as it has the focus, or
// with "ready" once the game waits for it (the sounds it keeps loaded), as a player who reads
// the page first would.
//   node bench/web_transfer.mjs BASE-URL CHROMIUM [ROUNDS] [ready]     (default 10)
import net from 'node:net';
import { launchBrowser } from '../tests/browser/browser.mjs';

const [base, executablePath, rounds = '10', when = ''] = process.argv.slice(2);
const server = new URL(base);
let bytes = 0;
const proxy = net.createServer((client) => {
  const upstream = net.connect(Number(server.port), server.hostname);
  upstream.on('data', (chunk) => { bytes += chunk.length; });
  client.pipe(upstream);
  upstream.pipe(client);
  client.on('error', () => upstream.destroy());
  upstream.on('error', () => client.destroy());
});
await new Promise((listening) => proxy.listen(0, '127.0.0.1', listening));
const via = `http://127.0.0.1:${proxy.address().port}`;

async function visit(browser) {
  const page = await browser.newPage();
  const from = bytes;
  await page.goto(`${via}/tapdash/play/`, { waitUntil: 'load' });
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'start');
  if (when === 'ready') await page.waitForFunction(() => window.TapdashPage.figures.readyAt > 0, { timeout: 120000 });
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.TapdashPage.figures.packAt > 0, { timeout: 120000 });
  await page.evaluate(() => window.TapdashPage.keptForOffline);
  const f = await page.evaluate(() => window.TapdashPage.figures);
  await page.close();
  return { intro: f.introAt - f.buttonAt, bytes: bytes - from };
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];
const visits = { first: [], second: [] };
try {
  for (let round = 1; round <= Number(rounds); ++round) {
    const browser = await launchBrowser(executablePath);
    try {
      visits.first.push(await visit(browser));
      visits.second.push(await visit(browser));
    } finally {
      await browser.close();
    }
    const show = (v) => `${v.intro.toFixed(0)} ms, ${(v.bytes / 1e6).toFixed(3)} MB`;
    console.log(`round ${round}: first visit ${show(visits.first.at(-1))}; second ${show(visits.second.at(-1))}`);
  }
  for (const [label, list] of Object.entries(visits)) {
    console.log(`${label} visit, median of ${list.length}: button to intro ` +
                `${median(list.map((v) => v.intro)).toFixed(0)} ms, ` +
                `${(median(list.map((v) => v.bytes)) / 1e6).toFixed(3)} MB over the wire`);
  }
} finally {
  proxy.close();
}
process.exit(0);
