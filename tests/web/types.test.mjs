// The type declarations beside cardservice.js: they declare what the module
// exports, a page written in TypeScript compiles against them, and the
// mistakes they exist to catch do not compile.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const modules = process.env.WEB_TEST_MODULES || path.join(here, 'node_modules');
const tsc = path.join(modules, 'typescript', 'bin', 'tsc');
const moduleFile = path.resolve(here, '..', '..', 'web', 'cardservice.js');
const declarations = path.resolve(here, '..', '..', 'web', 'cardservice.d.ts');

// Each snippet is a mistake that a page could make; tsc must name it.
const MISTAKES = [
  { name: 'a number read used without looking at ok',
    code: 'const a = await readIcCardNumber(); const n: string = a.number;', error: 'TS2339' },
  { name: 'a failure\'s message taken from a success',
    code: 'const a = await readIcCardInfo(); if (a.ok) { const m: string = a.message; }',
    error: 'TS2339' },
  { name: 'a track that is not text', code: 'await readMagneticCard(37);', error: 'TS2345' },
  { name: 'a magnetic read without its track', code: 'await readMagneticCard();',
    error: 'TS2554' },
  { name: 'an information line read as a number',
    code: 'const a = await readIcCardInfo(); if (a.ok) { const n: string = a.number; }',
    error: 'TS2339' },
  { name: 'an unknown error code',
    code: 'declare const e: CardServiceError; if (e.code === "refused") {}', error: 'TS2367' },
  { name: 'a timeout given as text', code: 'connect(undefined, { timeoutMs: "5s" });',
    error: 'TS2322' },
  { name: 'the busy flag taken as a number',
    code: 'const s = await status(); const b: number = s.busy;', error: 'TS2322' },
];

describe('the type declarations', () => {
  let folder;
  let output;
  // One compiler run over the usage file and every mistake, each mistake in
  // a file of its own.
  before(() => {
    folder = fs.mkdtempSync(path.join(os.tmpdir(), 'readcard-types-'));
    const from = path.relative(folder, moduleFile).split(path.sep).join('/');
    const files = [path.join(here, 'usage.ts')];
    MISTAKES.forEach((mistake, index) => {
      const file = path.join(folder, `mistake${index}.ts`);
      fs.writeFileSync(file, 'import { CardServiceError, connect, readIcCardInfo, readIcCardNumber, ' +
        `readMagneticCard, status } from '${from}';\n${mistake.code}\nexport {};\n`);
      files.push(file);
    });
    const run = spawnSync(process.execPath, [tsc, '--noEmit', '--strict', '--target', 'es2022',
      '--module', 'es2022', '--moduleResolution', 'bundler', '--lib', 'es2022,dom',
      '--pretty', 'false', ...files], { encoding: 'utf8' });
    output = `${run.stdout}${run.stderr}`;
    assert.ok(run.status !== null, `tsc ran: ${run.error}`);
  });
  after(() => fs.rmSync(folder, { recursive: true, force: true }));

  it('declare exactly what the module exports', async () => {
    const ts = createRequire(path.join(modules, 'x.js'))('typescript');
    const program = ts.createProgram([declarations], { strict: true, noEmit: true });
    const checker = program.getTypeChecker();
    const source = program.getSourceFile(declarations);
    const declared = checker.getExportsOfModule(checker.getSymbolAtLocation(source))
      .filter((symbol) => symbol.flags & ts.SymbolFlags.Value)
      .map((symbol) => symbol.name).sort();
    const actual = Object.keys(await import(pathToFileURL(moduleFile).href)).sort();
    assert.deepEqual(declared, actual);
  });

  it('compile a page that uses every part of the module', () => {
    assert.ok(!output.includes('usage.ts('), output);
  });

  MISTAKES.forEach((mistake, index) => {
    it(`reject ${mistake.name}`, () => {
      const line = output.split('\n').find((each) => each.includes(`mistake${index}.ts(2,`));
      assert.ok(line, `tsc accepted: ${mistake.code}\n${output}`);
      assert.ok(line.includes(mistake.error), line);
    });
  });
});
