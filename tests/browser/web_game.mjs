// The browser build as a player starts it: the page loads, Enter on the focused "Start Tapdash"
// button starts the game, and its intro is heard leaving the sound graph; then Ctrl goes to the
// menu, whose first sounds are heard too. Prints the start figures; exits 1 when a step fails.
import puppeteer from 'puppeteer-core';

const [base, executablePath] = process.argv.slice(2);
const browser = await puppeteer.launch({
  executablePath,
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
         '--no-first-run', '--autoplay-policy=user-gesture-required'],
});
let failed = false;
try {
  const page = await browser.newPage();
  page.on('console', (message) => console.log(`page: ${message.text()}`));
  await page.goto(`${base}/tapdash/play/`, { waitUntil: 'load' });
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'start');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.TapdashPage.figures.introAt > 0, { timeout: 60000 });
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'game');
  const plays = await page.evaluate(() => window.TapdashPage.figures.keyToSample.length);
  await page.keyboard.press('ControlLeft');
  await page.waitForFunction((n) => window.TapdashPage.figures.keyToSample.length > n, { timeout: 30000 }, plays);
  const figures = await page.evaluate(() => window.TapdashPage.figures);
  console.log(`button to intro: ${(figures.introAt - figures.buttonAt).toFixed(0)} ms; ` +
              `bytes before the intro: ${figures.bytesBeforeIntro}; Ctrl to the menu's first sample: ` +
              `${figures.keyToSample.at(-1).toFixed(1)} ms; underruns ${figures.underruns}`);
} catch (why) {
  console.log(`FAILED: ${why}`);
  failed = true;
} finally {
  await browser.close();
}
process.exit(failed ? 1 : 0);
