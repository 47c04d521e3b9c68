// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The page in a headless Chromium, used as a person would: typing, choosing
// the layout, following the address. Its report must be the native program's
// standard output, decoded, byte for byte.
//   node browser.mjs WEB-FOLDER NATIVE-TARVELIN CHROMIUM TESTS-FOLDER SCREENSHOT-FOLDER
// Exit status 77 (skipped) where playwright-core or the browser is missing,
// unless TARVELIN_REQUIRE_BROWSER is set.
import { existsSync, mkdirSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { decodeCp850, launchBrowser, programOutput, reportInputs, serveFolder } from "./harness.mjs";

const [webDir, nativeProgram, chromiumPath, testsDir, screenshotDir] = process.argv.slice(2);

function skip(reason) {
  console.log(`skipped: ${reason}`);
  process.exit(process.env.TARVELIN_REQUIRE_BROWSER ? 1 : 77);
}
if (!existsSync(chromiumPath)) skip(`no browser at ${chromiumPath}`);
if (!existsSync(nativeProgram)) skip(`no native program at ${nativeProgram}`);
let browser;
try {
  browser = await launchBrowser(chromiumPath);
} catch (error) {
  skip(`${error.message.split("\n")[0]} (npm ci in web/?)`);
}

const failures = [];
function expectEqual(what, actual, expected) {
  if (actual !== expected) {
    failures.push(`${what}:\n  expected ${JSON.stringify(expected)}\n  got      ${JSON.stringify(actual)}`);
  }
}
function expect(what, condition) {
  if (!condition) failures.push(what);
}

const reportCases = reportInputs(testsDir);
// Texts typed into the nominal field (inflation 2): each reads as the console
// reads it, and markup stays text.
const typedTexts = ["3,5", "abc", "1e999", "-1e999", "0x1p-2", " 5", "5%", "-m", "ä€", "",
  "<b>fett</b>", "<img src=x onerror=alert(1)>", "\"'&;|$(echo 1)"];

const expectedFile = (name) => decodeCp850(readFileSync(join(testsDir, "e2e/expected", name)));
const native = (...args) => programOutput(nativeProgram, args);

const server = await serveFolder(webDir);
const context = await browser.newContext();
const page = await context.newPage();
const requests = [];
context.on("request", (request) => requests.push(request.url()));
page.on("console", (message) => {
  if (message.type() === "error") failures.push(`console error: ${message.text()}`);
});
page.on("pageerror", (error) => failures.push(`page error: ${error.message}`));
page.on("dialog", async (dialog) => {
  failures.push(`a dialog opened: ${dialog.message()}`);
  await dialog.dismiss();
});

const nominalField = page.getByLabel("Zins in %");
const inflationField = page.getByLabel("Inflationsrate in %");
const report = page.locator("#ausgabe");

async function open(base, query) {
  await page.goto(`${base}${query}`);
  await page.waitForFunction(() => document.getElementById("ausgabe").textContent !== "");
  return report.textContent();
}

async function layout(multiLine) {
  await page.getByLabel(multiLine ? "mehrzeilig (-m)" : "einzeilig", { exact: true }).check();
}

// Opened from the address, from a server and from the file system: the
// report at once, as the console prints it.
const pageUrl = pathToFileURL(join(webDir, "index.html")).href;
for (const base of [`${server.origin}/`, pageUrl]) {
  const usage = expectedFile("usage.out").replace("@PROGRAM@", "tarvelin");
  expectEqual(`${base}: usage, checked-in`, await open(base, ""), usage);
  // Standards mode, though the licence comment comes before the doctype.
  expectEqual(`${base}: mode`, await page.evaluate(() => document.compatMode), "CSS1Compat");
  expectEqual(`${base}: usage, native`, await report.textContent(), native());
  expectEqual(`${base}: one rate`, await open(base, "?zins=5&m"), native("5"));
  expectEqual(`${base}: 5 2`, await open(base, "?zins=5&inflation=2"), expectedFile("5_2.out"));
  expectEqual(`${base}: 5 2 -m`, await open(base, "?zins=5&inflation=2&m"),
    expectedFile("5_2_multi.out"));
  expectEqual(`${base}: 5 2 -m, native`, await report.textContent(), native("5", "2", "-m"));

  // Typing updates the report at every keystroke, and the address with it.
  await open(base, "");
  await page.keyboard.press("Tab");
  await page.keyboard.type("7,5");
  expectEqual(`${base}: typed 7,5 alone`, await report.textContent(), native("7,5"));
  await page.keyboard.press("Tab");
  let typed = "";
  for (const key of "1e999") {
    await page.keyboard.type(key);
    typed += key;
    expectEqual(`${base}: typed 7,5 ${typed}`, await report.textContent(), native("7,5", typed));
  }
  await page.keyboard.press("Tab");
  await page.keyboard.press("ArrowDown");
  expectEqual(`${base}: layout by keyboard`, await report.textContent(), native("7,5", "1e999", "-m"));
  expectEqual(`${base}: address`, new URL(page.url()).search, "?zins=7%2C5&inflation=1e999&m");
  // The address shows the same again.
  expectEqual(`${base}: reopened`, await open(page.url(), ""), native("7,5", "1e999", "-m"));
  expectEqual(`${base}: fields reopened`,
    [await nominalField.inputValue(), await inflationField.inputValue()].join(" "), "7,5 1e999");
  await inflationField.fill("");
  expectEqual(`${base}: field emptied`, await report.textContent(), native("7,5"));
  expectEqual(`${base}: address emptied`, new URL(page.url()).search, "?zins=7%2C5&m");
}

// The figures, both layouts, over the server.
await open(`${server.origin}/`, "");
let compared = 0;
for (const [nominal, inflation] of reportCases) {
  await nominalField.fill(nominal);
  await inflationField.fill(inflation);
  for (const multiLine of [false, true]) {
    await layout(multiLine);
    const args = multiLine ? [nominal, inflation, "-m"] : [nominal, inflation];
    expectEqual(`report ${args.join(" ")}`, await report.textContent(), native(...args));
    compared += 1;
  }
}
await layout(false);
await inflationField.fill("2");
for (const text of typedTexts) {
  await nominalField.fill(text);
  const expected = text === "" ? native("2") : native(text, "2");
  expectEqual(`typed ${JSON.stringify(text)}`, await report.textContent(), expected);
  expect(`markup from ${JSON.stringify(text)}`, (await report.locator("*").count()) === 0);
}

// Nothing from anywhere else: every request the page made went to the place
// it was opened from.
for (const url of requests) {
  const { origin, protocol } = new URL(url);
  expect(`request to another origin: ${url}`, origin === server.origin || protocol === "file:");
}

// For people to look at: each layout in each colour scheme, and a phone.
mkdirSync(screenshotDir, { recursive: true });
for (const colorScheme of ["light", "dark"]) {
  await page.emulateMedia({ colorScheme });
  for (const [name, query] of [["einzeilig", "?zins=5&inflation=2"], ["mehrzeilig", "?zins=5&inflation=2&m"]]) {
    await page.setViewportSize({ width: 1300, height: 560 });
    await open(`${server.origin}/`, query);
    await page.screenshot({ path: join(screenshotDir, `${name}-${colorScheme}.png`), fullPage: true });
    await page.setViewportSize({ width: 390, height: 844 });
    await page.screenshot({ path: join(screenshotDir, `${name}-${colorScheme}-telefon.png`), fullPage: true });
  }
}

await browser.close();
server.close();
console.log(`${compared} reports compared, ${requests.length} requests, screenshots in ${screenshotDir}`);
if (failures.length > 0) {
  console.log(`${failures.length} failures:\n${failures.join("\n")}`);
  process.exit(1);
}
