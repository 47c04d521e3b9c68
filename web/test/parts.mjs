// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The built page as files: node parts.mjs WEB-FOLDER STRTOD-END. The module imports only
// the WASI functions the page provides, the page embeds that same module, the page
// reads a rate as far as the C library's strtod does (STRTOD-END prints how
// far that is), and the page names nothing outside itself.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { join } from "node:path";

const [webDir, strtodEnd] = process.argv.slice(2);
const moduleBytes = readFileSync(join(webDir, "tarvelin.wasm"));
const page = readFileSync(join(webDir, "index.html"), "utf8");

// Every import beyond these would leave the page unable to run the module
// (or, provided, give it a way out of the page).
const module = new WebAssembly.Module(moduleBytes);
const imports = WebAssembly.Module.imports(module)
  .map(({ module: from, name, kind }) => `${from}.${name} ${kind}`)
  .sort();
assert.deepEqual(imports, [
  "wasi_snapshot_preview1.args_get function",
  "wasi_snapshot_preview1.args_sizes_get function",
  "wasi_snapshot_preview1.fd_close function",
  "wasi_snapshot_preview1.fd_fdstat_get function",
  "wasi_snapshot_preview1.fd_seek function",
  "wasi_snapshot_preview1.fd_write function",
  "wasi_snapshot_preview1.proc_exit function",
]);
const pageImports = [...page.matchAll(/^ {4}(\w+)\([\w, ]*\) \{$/gm)].map((match) => match[1]).sort();
assert.deepEqual(pageImports, imports.map((entry) => entry.split(/[. ]/)[1]));

const embedded = page.match(/const moduleBase64 = "([A-Za-z0-9+/=]+)";/);
assert.ok(embedded, "no module in the page");
assert.ok(Buffer.from(embedded[1], "base64").equals(moduleBytes), "the page embeds another module");

// How far a rate is read, the page's grammar against the C library's strtod.
const strtodPattern = new Function(`return ${page.match(/const strtodPattern =\n\s*(\/.+\/i);/)[1]};`)();
const readTexts = ["5", " 5 ", "5%", "5 %", "1e1", "0x10", "inf", "nan", "-nan", "3,5", "1.000,5",
  "\u22122", "abc", " ", "   ", "\u00a05", "\t5", "\n5", "\v5", "\f5", "\r5", "\t\n\v\f\r -7", "+", "-",
  "+-1", "--1", "0x", "0X", "0x.", "0x.8", "0x1.", "0x1p", "0x1p3", "0x1P-3x", "0xg", "0x1e+5", "0x1p1f", "0x1p2a",
  "1e", "1e+", "1e-3", "1E3", "1e3.5", ".5", "5.", ".", "-.", ".e1", "5.e1", "00012", "1.2.3", "infinit", "infinity",
  "INFINITY5", "-Inf", "+inFinIty", "infx", "in", "nan(", "nan(1)", "nan(1", "NaN(abc_9)", "nan(-1)",
  "nan()", "nanx", "-nan(0x1)", "1_000", "1'000", "½", "€5", "５", "0.0000001", "1e99999", "7,5 %"];
const cEnds = execFileSync(strtodEnd, readTexts, { encoding: "utf8" }).trim().split("\n").map(Number);
readTexts.forEach((text, i) => {
  const match = strtodPattern.exec(text);
  assert.equal(match === null ? 0 : match[0].length, cEnds[i], `read length of ${JSON.stringify(text)}`);
});

// No address of anything to load: no attributes that fetch, no url(), no
// scheme, no import; the one image is data, the one file the manifest beside
// the page, which names only files beside it.
for (const pattern of [/\s(?:src|href|action|srcset)\s*=\s*(?!"?data:|"manifest\.webmanifest")/i, /url\(/i, /:\/\//, /@import/, /\bimport\b[\s("']/]) {
  assert.doesNotMatch(page, pattern);
}
assert.doesNotMatch(readFileSync(join(webDir, "manifest.webmanifest"), "utf8"), /:\/\/|"(?:\.\.)?\//);
console.log(`${imports.length} imports, ${moduleBytes.length} bytes of module, ${readTexts.length} read lengths and page checked`);
