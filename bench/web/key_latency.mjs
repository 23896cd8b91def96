// Key to sound in the browser build: in learn mode, Enter on its first item plays the key click;
// 100 such keys, each pressed at a random moment after the last one was heard. The page times each
// from its KeyboardEvent's timeStamp to the moment the worklet's process() puts out the click's
// first nonzero sample (the pack is silent but for the click), both on the page's clock. Prints
// the median, the worst and the worklet's period.
import { launchBrowser } from '../../tests/browser/browser.mjs';

const [base, executablePath, keys = '100'] = process.argv.slice(2);
const browser = await launchBrowser(executablePath);
const figures = (page) => page.evaluate(() => window.TapdashPage.figures);
const heardMoreThan = (page, n) => page.waitForFunction(
  (n) => window.TapdashPage.figures.keyToSample.length > n, { timeout: 60000 }, n);
try {
  const page = await browser.newPage();
  page.on('console', (message) => console.log(`page: ${message.text()}`));
  await page.goto(`${base}/tapdash/play/`, { waitUntil: 'load' });
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'start');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.TapdashPage.figures.introAt > 0, { timeout: 60000 });
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'game');
  // The game handles keys in order: to the menu, down to "Learn game sounds", into it.
  for (const key of ['ControlLeft', 'ArrowDown', 'ArrowDown', 'ArrowDown', 'Enter']) {
    await page.keyboard.press(key);
  }
  let before = (await figures(page)).keyToSample.length;
  await page.keyboard.press('Enter');  // a first click, which also loads what a click needs
  await heardMoreThan(page, before);
  const times = [];
  for (let i = 0; i < Number(keys); ++i) {
    before = (await figures(page)).keyToSample.length;
    // A random moment, so that keys fall anywhere in the sound device's period.
    await new Promise((resolve) => setTimeout(resolve, 20 + Math.random() * 40));
    await page.keyboard.press('Enter');
    await heardMoreThan(page, before);
    times.push((await figures(page)).keyToSample.at(-1));
  }
  await page.evaluate(() => window.TapdashPage.askWorkletCalls());
  await page.waitForFunction(() => window.TapdashPage.figures.workletCalls.length > 0);
  const seen = await figures(page);
  const context = await page.evaluate(() => window.TapdashPage.contextFigures());
  times.sort((a, b) => a - b);
  const at = (share) => times[Math.min(times.length - 1, Math.floor(share * times.length))];
  // process() runs in bursts: one burst for each buffer the browser's audio output asks for.
  const calls = seen.workletCalls;
  const gaps = calls.slice(1).map((t, i) => t - calls[i]);
  const bursts = gaps.filter((gap) => gap > 1).length;
  const spanMs = calls.at(-1) - calls[0];
  console.log(`key to the click's first sample leaving the worklet, ${times.length} keys: ` +
              `median ${at(0.5).toFixed(1)} ms, 90% ${at(0.9).toFixed(1)} ms, ` +
              `worst ${times.at(-1).toFixed(1)} ms, best ${times[0].toFixed(1)} ms`);
  console.log(`worklet: ${calls.length} calls of 128 frames in ${spanMs.toFixed(0)} ms, ` +
              `in ${bursts} bursts (${(calls.length / Math.max(1, bursts)).toFixed(1)} calls, ` +
              `${(spanMs / Math.max(1, bursts)).toFixed(1)} ms apart); lead ${seen.lead || 'shortest'}, ` +
              `underruns ${seen.underruns}; context ${JSON.stringify(context)}`);
} finally {
  await browser.close();
}
