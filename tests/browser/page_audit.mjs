// Audits the top ten page: once with no scores, once with ten scores whose names hold markup,
// ampersands and letters beyond ASCII. Prints every violation and exits 1 when there is one.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { launchBrowser } from './browser.mjs';

const require = createRequire(import.meta.url);
const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
const [base, executablePath] = process.argv.slice(2);
const pageUrl = `${base}/tapdash/`;

const players = [
  ['Mary Jo', "O'Neil", 'UK', 1200],
  ['<b>Bold</b>', 'Tag', 'FR & BE', 900],
  ['Émile', 'Zola', 'France', 800],
  ['Ann', 'Lee', 'UK', 700],
  ['Bob', '', 'US', 600],
  ['Chen', 'Wei', 'CN', 500],
  ['Dana', 'Fox', 'IE', 400],
  ['Eve', 'Ray', 'NZ', 300],
  ['Finn', 'Oak', 'NO', 200],
  ['Gus', 'Ash', 'AU', 100],
];

async function record([first, last, country, score]) {
  const query = new URLSearchParams({ first_name: first, last_name: last, addr: 'Hidden Street',
                                      country, score: String(score) });
  const reply = await fetch(`${base}/tapdash/top1.php?${query.toString().replaceAll('+', '%20')}`);
  if (reply.status !== 200) throw new Error(`recording ${first} answered ${reply.status}`);
}

async function audit(browser, label) {
  const page = await browser.newPage();
  const response = await page.goto(pageUrl, { waitUntil: 'load' });
  if (!response || response.status() !== 200) throw new Error(`${label}: the page did not load`);
  await page.evaluate(axeSource);
  const results = await page.evaluate(async () => {
    return await window.axe.run(document, {
      runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa',
                                       'best-practice'] },
    });
  });
  await page.close();
  for (const violation of results.violations) {
    console.log(`${label}: ${violation.id} (${violation.impact}): ${violation.help}`);
    for (const node of violation.nodes) console.log(`    ${node.target.join(' ')}`);
  }
  console.log(`${label}: ${results.passes.length} rules passed, ${results.violations.length} violated`);
  return results.violations.length;
}

const browser = await launchBrowser(executablePath);
let violations = 0;
try {
  violations += await audit(browser, 'no scores yet');
  for (const player of players) await record(player);
  violations += await audit(browser, 'ten scores');
} finally {
  await browser.close();
}
process.exit(violations === 0 ? 0 : 1);
