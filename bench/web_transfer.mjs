// Bytes over the wire for the browser build, as a player gets them: the page opened, Enter on
// "Start Tapdash", the intro heard, then the rest of the pack fetched behind it. Counts every
// response's encoded length (headers and compressed body) on the first visit and on a second one
// in the same browser, whose cache should hold every sound.
//   node bench/web_transfer.mjs BASE-URL CHROMIUM
import { launchBrowser } from '../tests/browser/browser.mjs';

const [base, executablePath] = process.argv.slice(2);
const browser = await launchBrowser(executablePath);

async function visit(label) {
  const page = await browser.newPage();
  const network = await page.createCDPSession();
  await network.send('Network.enable');
  let bytes = 0, responses = 0;
  network.on('Network.loadingFinished', (event) => { bytes += event.encodedDataLength; ++responses; });
  await page.goto(`${base}/tapdash/play/`, { waitUntil: 'load' });
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'start');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.TapdashPage.figures.packAt > 0, { timeout: 120000 });
  const f = await page.evaluate(() => window.TapdashPage.figures);
  const mb = (n) => (n / 1e6).toFixed(3);
  console.log(`${label}: before the intro ${mb(f.bytesBeforeIntro)} MB (page's resource timing), ` +
              `whole game ${mb(bytes)} MB in ${responses} responses (network), ` +
              `button to intro ${(f.introAt - f.buttonAt).toFixed(0)} ms, ` +
              `button to the whole pack ${(f.packAt - f.buttonAt).toFixed(0)} ms`);
  await page.close();
}

try {
  await visit('first visit');
  await visit('second visit');
} finally {
  await browser.close();
}
