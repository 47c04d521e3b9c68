// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// Runs a WASI command module as a process: node --no-warnings run-wasi.mjs
// MODULE [ARGUMENTS...]. The module sees MODULE as its program name and this
// process's standard output and error; its exit status becomes this one's.
import { readFileSync } from "node:fs";
import { WASI } from "node:wasi";

const [modulePath, ...args] = process.argv.slice(2);
const wasi = new WASI({
  version: "preview1",
  args: [modulePath, ...args],
  env: {},
  returnOnExit: true,
});
const module = new WebAssembly.Module(readFileSync(modulePath));
const instance = new WebAssembly.Instance(module, wasi.getImportObject());
process.exitCode = wasi.start(instance);
