// How a HIS page written in TypeScript uses cardservice.js; the type test
// compiles it against the declarations with strict checking.
import {
  CardServiceError,
  connect,
  DEFAULT_BASE_URL,
  readIcCardInfo,
  readIcCardNumber,
  readMagneticCard,
  status,
  type CardNumberAnswer,
  type CardService,
  type ServiceStatus,
} from '../../web/cardservice.js';

function show(text: string): void {
  document.title = text;
}

export async function registerPatient(track: string | null): Promise<string | null> {
  const desk: ServiceStatus = await status();
  if (desk.version !== null && desk.version < 86) show('旧版读卡库');
  if (desk.busy) show('正在读卡');

  let answer: CardNumberAnswer;
  try {
    answer = track === null ? await readIcCardNumber() : await readMagneticCard(track);
  } catch (error) {
    if (error instanceof CardServiceError) {
      const why: 'unreachable' | 'timeout' | 'protocol' = error.code;
      show(`${why} ${error.status} ${error.message}`);
    }
    return null;
  }
  if (!answer.ok) {
    show(answer.message);
    return null;
  }
  const info = await readIcCardInfo();
  if (info.ok) show(info.info.split('#')[4] ?? '');
  return answer.number;
}

export const other: CardService = connect('http://127.0.0.1:18087', { timeoutMs: 5000 });
export const fallback: string = connect().baseUrl;
export const address: 'http://127.0.0.1:18086' = DEFAULT_BASE_URL;
