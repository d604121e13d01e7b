// Headless Chromium through playwright-core, and a small web server that
// stands in for a hospital's HIS: it serves the test pages, and the module
// as a HIS would package it with its own files (/lib/cardservice.js).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import https from 'node:https';
import { createRequire } from 'node:module';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const webFolder = path.resolve(here, '..', '..', 'web');

// playwright-core from the folder that the test step installed it into
// (WEB_TEST_MODULES), or from beside the tests when run by hand.
function loadPlaywright() {
  const modules = process.env.WEB_TEST_MODULES || path.join(here, 'node_modules');
  return createRequire(path.join(modules, 'x.js'))('playwright-core');
}

// Flags for Chromium on a closed network: without the background-networking
// ones its own connections to the outside are refused and slow it down.
export const CHROMIUM_FLAGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// Playwright starts Chromium with a fresh profile (--user-data-dir) of its
// own every time.
// Pages wait at most this long for what a test expects of them.
export const PAGE_TIMEOUT_MS = 10000;

export async function launchChromium(extraFlags = []) {
  const { chromium } = loadPlaywright();
  return chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: [...CHROMIUM_FLAGS, ...extraFlags],
    timeout: 60000,
  });
}

const pages = {
  '/his.html': [path.join(here, 'his.html'), 'text/html; charset=utf-8'],
  '/lib/cardservice.js': [path.join(webFolder, 'cardservice.js'), 'text/javascript; charset=utf-8'],
};

// A self-signed certificate for hostName (a name or an IP address), made
// with openssl for one test run (the browser is told to accept it).
function selfSignedCertificate(hostName) {
  const altName = net.isIP(hostName) ? `IP:${hostName}` : `DNS:${hostName}`;
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'readcard-tls-'));
  try {
    const key = path.join(folder, 'key.pem');
    const cert = path.join(folder, 'cert.pem');
    execFileSync('openssl', ['req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-days', '2',
      '-keyout', key, '-out', cert, '-subj', `/CN=${hostName}`,
      '-addext', `subjectAltName=${altName}`], { stdio: 'pipe' });
    return { key: fs.readFileSync(key), cert: fs.readFileSync(cert) };
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// Serves the HIS pages on address (127.0.0.1, and so localhost, unless
// told otherwise) at a free port; over https with a certificate for
// tlsHostName when one is given.
export async function startHisServer({ tlsHostName, address = '127.0.0.1' } = {}) {
  const serve = (request, response) => {
    const page = pages[new URL(request.url, 'http://his').pathname];
    if (!page || request.method !== 'GET') {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
      return;
    }
    response.writeHead(200, { 'Content-Type': page[1], 'Cache-Control': 'no-store' });
    response.end(fs.readFileSync(page[0]));
  };
  const server = tlsHostName
    ? https.createServer(selfSignedCertificate(tlsHostName), serve)
    : http.createServer(serve);
  await new Promise((resolve) => server.listen(0, address, resolve));
  const { port } = server.address();
  return {
    port,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}
