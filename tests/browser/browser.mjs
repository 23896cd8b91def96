// Headless Chromium for the browser tests and benches, one way for all: no sandbox, GPU or
// background traffic, and sound only after a key, as a player's browser allows it.
//   import { launchBrowser } from './browser.mjs';  const browser = await launchBrowser(chromium);
import puppeteer from 'puppeteer-core';

export function launchBrowser(executablePath) {
  return puppeteer.launch({
    executablePath,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--no-first-run', '--autoplay-policy=user-gesture-required'],
  });
}
