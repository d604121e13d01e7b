// The status page's script: shows what /v1/desk answers.
const desk = document.getElementById('desk');
fetch('/v1/desk').then((r) => r.json()).then((d) => {
  desk.textContent = JSON.stringify(d, null, 2);
}).catch((e) => { desk.textContent = '读卡服务无法访问：' + e; });
