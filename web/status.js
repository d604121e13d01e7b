// The status page of the card service: what the desk directory holds, who
// may call the service, today's log, and a button for each card read. It
// reads cards through the same module and interface that HIS pages use.
import { connect, CardServiceError } from '/v1/cardservice.js';

const service = connect();
const $ = (id) => document.getElementById(id);

// Every text from the service goes in as text, never as markup.
function setText(id, text, className = '') {
  const element = $(id);
  element.textContent = text;
  element.className = className;
}

// A file's line: missing, present, or present but rated by the desk's checks.
function showFile(id, file, check) {
  if (!file) {
    setText(id, '未知', 'bad');
  } else if (file.present && check) {
    setText(id, `${file.file} (存在, 但${check.rating === 'error' ? '不能用' : '有风险'})`,
      check.rating === 'error' ? 'bad' : 'warn');
  } else if (file.present) {
    setText(id, `${file.file} (存在)`, 'good');
  } else {
    setText(id, `${file.file} (缺少)`, 'bad');
  }
}

function problemText(error) {
  if (error instanceof CardServiceError && error.status) {
    return `${error.message} (HTTP ${error.status})`;
  }
  return error && error.message ? error.message : String(error);
}

async function fetchDesk() {
  let response;
  try {
    response = await fetch('/v1/desk', { cache: 'no-store', credentials: 'omit' });
  } catch (cause) {
    throw new CardServiceError('unreachable', '无法连接读卡服务: 服务没有运行', 0, { cause });
  }
  let body = null;
  try {
    body = await response.json();
  } catch {
    // An answer that is not JSON is reported below.
  }
  if (response.status !== 200 || body === null || typeof body !== 'object') {
    const message = body && typeof body.message === 'string' ? body.message : '读卡服务的应答无效';
    throw new CardServiceError('protocol', message, response.status);
  }
  return body;
}

// The desk's warnings and errors, each with what to do, first on the page;
// under the folder's check, who may change which file.
function showChecks(checks, permissions) {
  const list = $('checks');
  list.replaceChildren();
  if (checks.length === 0) {
    const item = document.createElement('li');
    item.textContent = '未发现问题';
    item.className = 'good';
    list.append(item);
  }
  for (const check of checks) {
    const item = document.createElement('li');
    item.textContent = `${check.rating === 'error' ? '错误' : '警告'}: ${check.message}`;
    item.className = check.rating === 'error' ? 'bad' : 'warn';
    item.dataset.item = check.item;
    if (check.item === 'permissions' && permissions.length > 0) {
      const found = document.createElement('ul');
      for (const line of permissions) {
        const entry = document.createElement('li');
        entry.textContent = line;
        found.append(entry);
      }
      item.append(found);
    }
    list.append(item);
  }
}

function showDesk(desk) {
  const checks = Array.isArray(desk.checks) ? desk.checks : [];
  const checkOf = (item) => checks.find((check) => check.item === item);
  showChecks(checks, Array.isArray(desk.permissions) ? desk.permissions : []);
  setText('version', desk.version === null || desk.version === undefined
    ? '未知 (读卡库未能加载)' : String(desk.version),
  desk.version === null || desk.version === undefined ? 'bad' : '');
  setText('directory', desk.directory || '');
  showFile('library', desk.library, checkOf('library'));
  showFile('driver', desk.driver, checkOf('driver'));
  showFile('login-ini', desk.loginIni);
  if (desk.loginIni && desk.loginIni.present) {
    setText('virtual-card', desk.loginIni.virtualCard
      ? '已开启 (读 IC 卡号时不读卡, 直接给出 Login.ini 中配置的卡号)' : '未开启',
    desk.loginIni.virtualCard ? 'bad' : 'good');
  } else {
    setText('virtual-card', '未开启 (没有 Login.ini)');
  }

  const origins = $('origins');
  origins.replaceChildren();
  const listed = Array.isArray(desk.origins) ? desk.origins : [];
  if (listed.length === 0) {
    const item = document.createElement('li');
    item.textContent = '(未配置: 只有本页可以读卡)';
    item.className = 'bad';
    origins.append(item);
  }
  for (const origin of listed) {
    const item = document.createElement('li');
    const code = document.createElement('code');
    code.textContent = origin;
    item.append(code);
    origins.append(item);
  }

  const log = desk.log || {};
  setText('log-file', log.file || '');
  const lines = Array.isArray(log.lines) ? log.lines : [];
  setText('log-lines', lines.length ? lines.join('\n') : '(今天还没有日志)');
}

// How many refreshes have finished and how many are under way, on the
// page's body for whoever watches the page (data-refreshes,
// data-refreshing).
let refreshes = 0;
let refreshing = 0;

async function refresh() {
  refreshing += 1;
  document.body.dataset.refreshing = String(refreshing);
  const problems = [];
  try {
    showDesk(await fetchDesk());
  } catch (error) {
    problems.push(problemText(error));
  }
  try {
    const now = await service.status();
    setText('busy', now.busy ? '正在读卡' : '空闲');
    if (now.version !== null && now.version !== undefined) setText('version', String(now.version));
  } catch (error) {
    setText('busy', '未知', 'bad');
    if (problems.length === 0) problems.push(problemText(error));
  }
  setText('problem', problems.join(' '));
  setText('refreshed', `更新于 ${new Date().toLocaleTimeString('zh-CN', { hour12: false })}`);
  refreshes += 1;
  refreshing -= 1;
  document.body.dataset.refreshes = String(refreshes);
  document.body.dataset.refreshing = String(refreshing);
}

// Shows one read's answer: the number or line, the failure's message, or why
// the service gave no answer.
function showAnswer(id, answer, field, label) {
  const element = $(id);
  if (answer.ok) {
    element.textContent = `${label}: ${answer[field]}`;
    element.dataset.state = 'ok';
  } else {
    element.textContent = `读卡失败: ${answer.message}`;
    element.dataset.state = 'failed';
  }
}

function wireRead(buttonId, answerId, read, field, label) {
  const button = $(buttonId);
  button.addEventListener('click', async () => {
    const element = $(answerId);
    button.disabled = true;
    element.textContent = '正在读卡…';
    element.dataset.state = 'pending';
    try {
      showAnswer(answerId, await read(), field, label);
    } catch (error) {
      element.textContent = `未能读卡: ${problemText(error)}`;
      element.dataset.state = 'error';
    } finally {
      button.disabled = false;
      // A failed read has just written to the log.
      refresh();
    }
  });
}

$('address').textContent = location.origin;
wireRead('read-number', 'answer-number', () => service.readIcCardNumber(), 'number', '卡号');
wireRead('read-info', 'answer-info', () => service.readIcCardInfo(), 'info', '卡信息');
wireRead('read-magnetic', 'answer-magnetic', () => service.readMagneticCard($('track').value),
  'number', '卡号');
// A swipe reader types the track and then Enter.
$('track').addEventListener('keydown', (event) => {
  if (event.key === 'Enter') {
    event.preventDefault();
    if (!$('read-magnetic').disabled) $('read-magnetic').click();
  }
});
$('refresh').addEventListener('click', refresh);
refresh();
