// The card service's calls for HIS pages (ES module).
const base = new URL('..', import.meta.url).href.replace(/\/$/, '');

async function call(path, body) {
  const init = body === undefined ? {} : {
    method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body),
  };
  const response = await fetch(base + path, init);
  const answer = await response.json();
  if (!response.ok) throw new Error(answer.message);
  return answer;
}

export const status = () => call('/v1/status');
export const readIcCardNumber = () => call('/v1/ic-card/number', {});
export const readIcCardInfo = () => call('/v1/ic-card/info', {});
export const readMagneticCard = (track) => call('/v1/magnetic-card', { track });
