// A scratch desk directory for the browser tests: the card service, the card
// library, the simulated driver, Login.ini and cardservice.ini in one
// directory, as on a registration PC, and the service running from it on a
// port of the system's choosing.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

// Paths of the built programs, from the CTest registration.
export function builtFiles() {
  const names = ['CARDSERVICE', 'READCARD_LIBRARY', 'SIMDRIVER'];
  const files = {};
  for (const name of names) {
    const value = process.env[name];
    if (!value || !fs.existsSync(value)) {
      throw new Error(`${name} must name a built file (got ${value === undefined ? 'nothing' : value})`);
    }
    files[name] = value;
  }
  return { service: files.CARDSERVICE, library: files.READCARD_LIBRARY, driver: files.SIMDRIVER };
}

function copyExecutable(from, directory) {
  const to = path.join(directory, path.basename(from));
  fs.copyFileSync(from, to);
  fs.chmodSync(to, 0o755);
  return to;
}

export const LOGIN_INI_REAL_CARD = '[MAIN]\r\nREALCARD=false\r\n';

export class Desk {
  constructor(directory) {
    this.directory = directory;
    this.process = null;
    this.url = '';
    this.output = '';
  }

  write(name, content) {
    fs.writeFileSync(path.join(this.directory, name), content);
  }

  remove(name) {
    fs.rmSync(path.join(this.directory, name), { force: true });
  }

  // The simulated driver's settings file beside it: the result on the first
  // line, the record (GBK bytes) after it. Read afresh on every card read.
  setDriverAnswer(result, record) {
    this.write('SSCardDriver.txt', Buffer.concat([Buffer.from(`${result}\n`), record]));
  }

  clearDriverAnswer() {
    this.remove('SSCardDriver.txt');
  }

  // Every line of the service's own log files (Log/cardservice/), UTF-8.
  serviceLogText() {
    const folder = path.join(this.directory, 'Log', 'cardservice');
    if (!fs.existsSync(folder)) return '';
    return fs.readdirSync(folder).sort()
      .map((name) => fs.readFileSync(path.join(folder, name), 'utf8')).join('');
  }

  // Starts the service from the desk and waits for its one line saying
  // where it listens.
  async start(environment = {}) {
    const program = path.join(this.directory, this.serviceName);
    const child = spawn(program, ['--config', path.join(this.directory, 'cardservice.ini'),
      '--port', '0'], { cwd: this.directory, env: { ...process.env, ...environment },
      stdio: ['ignore', 'pipe', 'pipe'] });
    this.process = child;
    child.stderr.on('data', (chunk) => { this.output += chunk; });
    this.url = await new Promise((resolve, reject) => {
      let seen = '';
      const timer = setTimeout(() => reject(new Error(
        `the service did not say where it listens within 20 s; it wrote: ${seen}${this.output}`)),
      20000);
      child.stdout.on('data', (chunk) => {
        seen += chunk;
        this.output += chunk;
        const found = seen.match(/^cardservice: listening on (http:\/\/127\.0\.0\.1:\d+)\r?$/m);
        if (found) {
          clearTimeout(timer);
          resolve(found[1]);
        }
      });
      child.on('exit', (code) => {
        clearTimeout(timer);
        reject(new Error(`the service ended with ${code} before listening: ${seen}${this.output}`));
      });
    });
    return this.url;
  }

  async stop() {
    const child = this.process;
    if (!child || child.exitCode !== null) return;
    const ended = new Promise((resolve) => child.once('exit', resolve));
    child.kill('SIGTERM');
    const timer = setTimeout(() => child.kill('SIGKILL'), 5000);
    await ended;
    clearTimeout(timer);
    this.process = null;
  }

  // A request from outside any browser (as curl would send it): no Origin.
  async get(pathName) {
    const response = await fetch(this.url + pathName);
    return { status: response.status, body: await response.json() };
  }

  async post(pathName, body) {
    const response = await fetch(this.url + pathName, {
      method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body),
    });
    return { status: response.status, body: await response.json() };
  }

  dispose() {
    fs.rmSync(this.directory, { recursive: true, force: true });
  }
}

// A desk with everything in place; origins: the web origins that
// cardservice.ini lists; timeoutSeconds: how long the service waits for the
// driver; environment: for the service and so its worker and the driver. The driver goes in under the name that the service
// itself says it looks for (GET /v1/desk), so the test follows the product's
// own naming on every platform.
export async function openDesk({ origins, environment = {}, timeoutSeconds = 10 }) {
  const built = builtFiles();
  const desk = new Desk(fs.mkdtempSync(path.join(os.tmpdir(), 'readcard-desk-')));
  desk.serviceName = path.basename(copyExecutable(built.service, desk.directory));
  desk.libraryName = path.basename(built.library);
  fs.copyFileSync(built.library, path.join(desk.directory, desk.libraryName));
  desk.write('Login.ini', LOGIN_INI_REAL_CARD);
  desk.write('cardservice.ini',
    `[service]\r\nport=18086\r\norigins=${origins.join(', ')}\r\ntimeout=${timeoutSeconds}\r\n`);
  await desk.start(environment);
  const { body } = await desk.get('/v1/desk');
  if (!body.driver || typeof body.driver.file !== 'string' || body.driver.file === '' ||
      path.basename(body.driver.file) !== body.driver.file) {
    await desk.stop();
    throw new Error(`the service names no driver file: ${JSON.stringify(body)}`);
  }
  desk.driverName = body.driver.file;
  fs.copyFileSync(built.driver, path.join(desk.directory, desk.driverName));
  return desk;
}
