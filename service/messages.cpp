#include "service/messages.h"

#include <cstddef>

#include "tools/cardhost/language.h"

namespace service {
namespace {

struct Translation {
  Words words;
  const char* chinese;
  const char* english;
};

constexpr Translation kTexts[] = {
    {Words::kConfigPort, "port 的值 \"%1\" 不是 0 到 65535 之间的端口号",
     "port \"%1\" is not a port number from 0 to 65535"},
    {Words::kConfigTimeout, "timeout 的值 \"%1\" 不是 1 到 3600 之间的秒数",
     "timeout \"%1\" is not a number of seconds from 1 to 3600"},
    // %2: why, as NormalizeOrigin tells it (in Chinese)
    {Words::kConfigOrigin, "origins 中的 \"%1\" 不是网页来源（应为 https://主机名[:端口]）：%2",
     "\"%1\" in origins is not a web origin (write https://host[:port]): %2"},
    {Words::kConfigWritableDesk, "writabledesk 的值 \"%1\" 应为 refuse 或 serve",
     "writabledesk \"%1\" should be refuse or serve"},
    {Words::kConfigInFile, "配置文件有误: %1: %2", "the settings file is wrong: %1: %2"},

    {Words::kOriginNoScheme, "缺少 http:// 或 https://", "http:// or https:// is missing"},
    {Words::kOriginNotWeb, "只能是 http 或 https 网页", "only http or https pages"},
    {Words::kOriginWildcard, "浏览器发送的来源是一个确切的主机名，通配符永远不会匹配，请逐一列出",
     "browsers send one exact host name: a wildcard never matches, list each one"},
    {Words::kOriginPath, "浏览器发送的来源不含路径，带路径的写法永远不会匹配",
     "browsers send no path: an origin written with one never matches"},
    {Words::kOriginUser, "来源不含用户名", "an origin has no user name"},
    {Words::kOriginBlankOrNonAscii, "含空白或非 ASCII 字符（中文域名请写成 xn-- 形式）",
     "it holds blanks or non-ASCII characters (write a Chinese domain in its xn-- form)"},
    {Words::kOriginOpenBracket, "IPv6 地址缺少 ]", "the IPv6 address lacks its ]"},
    {Words::kOriginNoHost, "缺少主机名", "the host name is missing"},
    {Words::kOriginAfterHost, "主机名之后只能是 :端口", "only :port may follow the host name"},
    {Words::kOriginPort, "端口不是 1 到 65535 之间的数",
     "the port is not a number from 1 to 65535"},

    {Words::kListenInUse, "无法在 127.0.0.1:%1 上监听：端口已被另一个程序占用",
     "cannot listen on 127.0.0.1:%1: another program uses the port"},
    {Words::kListenDenied, "无法在 127.0.0.1:%1 上监听：系统不允许使用这个端口",
     "cannot listen on 127.0.0.1:%1: the system does not allow this port"},
    {Words::kListenFailed, "无法在 127.0.0.1:%1 上监听: %2", "cannot listen on 127.0.0.1:%1: %2"},

    {Words::kWorkerCannotStart, "读卡工作进程无法启动：%1: %2",
     "the card worker cannot start: %1: %2"},
    {Words::kWorkerNoPipe, "读卡工作进程无法启动：%1: %2", "the card worker cannot start: %1: %2"},

    {Words::kWorkerReady, "读卡工作进程已就绪，读卡动态库版本 %1",
     "the card worker is ready, card library version %1"},
    {Words::kWorkerEndedWithService, "读卡工作进程随读卡服务停止而结束",
     "the card worker ended as the card service stopped"},
    {Words::kWorkerNotReady, "读卡工作进程在 %1 秒内未能就绪，已结束",
     "the card worker was not ready within %1 s and was ended"},
    {Words::kWorkerSays, "读卡工作进程：%1", "the card worker: %1"},
    {Words::kDriverNoAnswer, "读卡器驱动程序 %1 秒内没有应答，读卡工作进程已结束",
     "the card reader's driver did not answer within %1 s; the card worker was ended"},
    {Words::kWorkerInputClosed, "读卡工作进程的输入已关闭", "the card worker's input is closed"},
    {Words::kWorkerEndedUnexpectedly, "读卡工作进程意外结束", "the card worker ended unexpectedly"},
    {Words::kWorkerDiedInCall, "%1：读卡时读卡器驱动程序崩溃",
     "%1: the card reader's driver crashed during a read"},
    {Words::kWorkerDiedStarting, "%1：读卡工作进程在就绪前结束",
     "%1: the card worker ended before it was ready"},
    {Words::kWorkerDiedIdle, "%1（空闲时）", "%1 (while idle)"},
    {Words::kWorkerAnswerUnreadable, "读卡工作进程的应答无法识别",
     "the card worker's answer cannot be read"},
    {Words::kWorkerAnswerOutOfTurn,
     "读卡工作进程送来的应答不属于正在进行的读卡（第 %1 次，应为第 %2 次）",
     "the card worker sent an answer that is not the running read's (call %1, expected %2)"},
    {Words::kWorkerFaultEnded, "%1，读卡工作进程已结束", "%1; the card worker was ended"},
    {Words::kHowItEnded, "%1（%2）", "%1 (%2)"},

    {Words::kAnswerStopping, "读卡服务正在停止", "the card service is stopping"},
    {Words::kAnswerBusy, "读卡器正忙，请稍后再读", "the card reader is busy; read again shortly"},
    {Words::kAnswerWorkerCannotStart, "读卡工作进程无法启动，请检查读卡服务的安装",
     "the card worker cannot start; check the card service's installation"},
    {Words::kAnswerWorkerNotReady, "读卡工作进程未能就绪，请稍后再读",
     "the card worker did not get ready; read again shortly"},
    {Words::kAnswerDriverNoAnswer, "读卡器驱动程序 %1 秒内没有应答，本次读卡已取消，请重新读卡",
     "the card reader's driver did not answer within %1 s; this read is cancelled, read again"},
    {Words::kAnswerDriverCrashed, "读卡器驱动程序崩溃，本次读卡失败，请重新读卡",
     "the card reader's driver crashed; this read failed, read again"},
    {Words::kAnswerWorkerFaultInCall, "读卡工作进程出错，本次读卡失败，请重新读卡",
     "the card worker went wrong; this read failed, read again"},
    {Words::kAnswerWorkerFault, "读卡工作进程出错，请稍后再读",
     "the card worker went wrong; read again shortly"},

    {Words::kLibraryCannotLoad, "无法加载读卡动态库：%1", "cannot load the card library: %1"},
    {Words::kLibraryNotFound, "无法加载读卡动态库：%1（程序目录中没有，系统的库目录中也没有）",
     "cannot load the card library: %1 (neither in the program's folder nor in the system's)"},
    {Words::kLibraryWrongVersion, "读卡动态库缺少读卡函数，不是本服务所用的版本：%1",
     "the card library lacks the card calls: not the version this service uses: %1"},
    {Words::kNothingLogged, "读卡失败，读卡日志无法写入，失败原因未能记下",
     "the read failed; the card log cannot be written, so its reason was not kept"},
    {Words::kOwnRecordUnknown, "读卡失败，失败原因请查看读卡日志",
     "the read failed; the card log tells why"},

    {Words::kNotStartedConsole, "cardservice: 未启动：%1", "cardservice: not started: %1"},
    {Words::kNotStartedLog, "未启动：%1", "not started: %1"},
    {Words::kStartedLog,
     "启动：监听 http://127.0.0.1:%1，允许的来源 %2，读卡超时 %3 秒，配置文件 %4%5",
     "started: listening on http://127.0.0.1:%1, allowed origins %2, card timeout %3 s, "
     "settings %4%5"},
    {Words::kConfigMissingNote, "（未找到，用默认值）", " (not found, the defaults apply)"},
    {Words::kMachineSettingsNote, "，本机设定 HKLM\\%1", ", machine settings HKLM\\%1"},
    {Words::kNoOrigins, "(无)", "(none)"},
    {Words::kStopped, "停止：%1", "stopped: %1"},
    {Words::kStopSignal, "收到信号 %1", "signal %1"},
    {Words::kStopByManager, "服务管理器要求停止", "the service manager asked it to stop"},
    // Read by programs that start the service (port 0): the same in both.
    {Words::kListening, "cardservice: listening on http://127.0.0.1:%1",
     "cardservice: listening on http://127.0.0.1:%1"},
    // The status the system's service manager shows beside the service.
    {Words::kManagerStatus, "listening on http://127.0.0.1:%1", "listening on http://127.0.0.1:%1"},

    {Words::kValueMissing, "%1 后面缺少值", "%1 needs a value"},
    {Words::kPortOption, "--port 的值 \"%1\" 不是 0 到 65535 之间的端口号",
     "--port \"%1\" is not a port number from 0 to 65535"},
    {Words::kUnknownArgument, "不认识的参数 \"%1\"", "unknown argument \"%1\""},
    {Words::kOneMode, "只能给出一个运行方式（%1）", "give one way to run only (%1)"},
    {Words::kSetForm, "--set 后面应为 名称=值", "--set needs NAME=VALUE"},
    {Words::kOnlyWith, "%1 只能与 %2 一起使用", "%1 goes with %2 only"},
    {Words::kUsage,
     "用法: cardservice [--config 配置文件] [--port 端口]\n"
     "      cardservice --install [--config 配置文件] [--port 端口]   注册为 Windows 服务并启动它\n"
     "      cardservice --install --set 名称=值 ...   同时设定本机的 port、origins、timeout、\n"
     "                driverdir、hisdir、browserpolicy（值为空则保留原设定）\n"
     "      cardservice --uninstall [--keep-settings]                停止并删除 Windows 服务\n"
     "本机读卡服务：在 http://127.0.0.1:端口 上应答网页的读卡请求。\n"
     "修改 cardservice.ini 后，再运行一次 --install，服务就会按新的设置重新启动。\n",
     "usage: cardservice [--config FILE] [--port PORT]\n"
     "       cardservice --install [--config FILE] [--port PORT]   register as a Windows service "
     "and start it\n"
     "       cardservice --install --set NAME=VALUE ...   also set the machine's port, origins, "
     "timeout,\n"
     "                driverdir, hisdir, browserpolicy (an empty value keeps the one set)\n"
     "       cardservice --uninstall [--keep-settings]             stop and remove the Windows "
     "service\n"
     "The desk's card service: answers web pages' card reads on http://127.0.0.1:PORT.\n"
     "After changing cardservice.ini, run --install again: the service restarts with the new "
     "settings.\n"},

    {Words::kNeedAdministrator, "无法打开服务管理器（请以管理员身份运行）：%1",
     "cannot open the service manager (run it as administrator): %1"},
    {Words::kCannotUpdate, "无法更新已注册的服务：%1", "cannot update the registered service: %1"},
    {Words::kCannotRegister, "无法注册服务：%1", "cannot register the service: %1"},
    {Words::kCannotSetRecovery, "无法设置服务失败后的重新启动：%1",
     "cannot set the service's restart after a failure: %1"},
    {Words::kCannotStart, "服务已注册，但无法启动：%1",
     "the service is registered but cannot be started: %1"},
    {Words::kCannotStop, "无法停止正在运行的服务：%1", "cannot stop the running service: %1"},
    {Words::kInstalledRunning, "cardservice: 已注册为 Windows 服务 \"%1\"，正在运行，监听端口 %2",
     "cardservice: registered as the Windows service \"%1\", running on port %2"},
    {Words::kRestartedRunning,
     "cardservice: Windows 服务 \"%1\" 已重新启动，用的是现在的设置，正在运行，监听端口 %2",
     "cardservice: the Windows service \"%1\" restarted with the settings as they are now, "
     "running on port %2"},
    {Words::kInstalledStopped,
     "cardservice: 已注册为 Windows 服务 \"%1\"，但它没有启动，已停止（退出码 %2）",
     "cardservice: registered as the Windows service \"%1\", but it did not start: it is "
     "stopped (exit code %2)"},
    {Words::kStillStarting,
     "cardservice: 已注册为 Windows 服务 \"%1\"，但等了 %2 秒它仍未报告正在运行",
     "cardservice: registered as the Windows service \"%1\", but after %2 s it has not reported "
     "itself running"},
    {Words::kServiceLogSays, "服务日志：%1", "the service's log: %1"},
    {Words::kSeeServiceLog, "原因见服务日志 %1", "the service's log tells why: %1"},
    {Words::kExitConfig, "原因：cardservice.ini 有误，改正后再运行 --install",
     "why: cardservice.ini is wrong; mend it and run --install again"},
    {Words::kExitListen, "原因：无法在端口上监听（端口已被占用？），换一个端口后再运行 --install",
     "why: it cannot listen on its port (in use?); choose another port and run --install again"},
    {Words::kExitOther, "原因：服务以退出码 %1 结束", "why: the service ended with exit code %1"},
    {Words::kNotInstalled, "找不到 Windows 服务 \"%1\"（没有注册）",
     "there is no Windows service \"%1\" (not registered)"},
    {Words::kUninstalled, "cardservice: Windows 服务 \"%1\" 已停止并删除",
     "cardservice: the Windows service \"%1\" is stopped and removed"},
    {Words::kUninstalledNotStopped,
     "cardservice: Windows 服务 \"%1\" 已删除，但它还没有停止；它停止后即被移除",
     "cardservice: the Windows service \"%1\" is removed, but it has not stopped yet; it goes "
     "once it stops"},
    {Words::kOnlyForManager, "--service 只供服务管理器使用；在前台运行时不要加它：%1",
     "--service is for the service manager only; leave it out in the foreground: %1"},
    {Words::kCannotSetUpDesk, "无法设定本机：%1", "cannot set up the desk: %1"},
    {Words::kCannotRegisterSource, "无法在应用程序事件日志中登记来源 cardservice：%1",
     "cannot register the source cardservice with the Application event log: %1"},
    {Words::kWindowsOnly, "cardservice: --install、--uninstall 与 --service 只在 Windows 上可用",
     "cardservice: --install, --uninstall and --service are for Windows only"},
    {Words::kServiceDisplayName, "读卡服务 (readcard cardservice)",
     "card service (readcard cardservice)"},
    {Words::kServiceDescription,
     "让浏览器中的医院信息系统页面通过 http://127.0.0.1 读取社保卡和磁条卡。",
     "lets the hospital information system's pages in the browser read social security and "
     "magnetic cards through http://127.0.0.1"},

    {Words::kUnknownSetting, "不认识的设定 \"%1\"", "unknown setting \"%1\""},
    {Words::kBrowserPolicyValue, "browserpolicy 的值 \"%1\" 应为 0 或 1",
     "browserpolicy \"%1\" should be 0 or 1"},
    {Words::kNotAFolder, "%1 的值 \"%2\" 不是文件夹", "%1 \"%2\" is not a folder"},
    {Words::kFolderMissing, "%1 的文件夹 \"%2\" 不存在", "the %1 folder \"%2\" does not exist"},
    {Words::kCannotCopy, "无法复制到 %1：%2", "cannot copy to %1: %2"},
    {Words::kCannotWritePolicy, "无法写入浏览器策略 HKLM\\%1：%2",
     "cannot write the browser policy HKLM\\%1: %2"},
    {Words::kCannotWriteSettings, "无法写入本机设定 HKLM\\%1：%2",
     "cannot write the machine settings HKLM\\%1: %2"},

    {Words::kSenderOrigin, "来源 %1", "origin %1"},
    {Words::kSenderHost, "主机名 %1", "host %1"},
    {Words::kOtherSenders, "其他来源", "other senders"},
    {Words::kRefusalsHeldBack, "拒绝：%1 在一分钟内另有 %2 次请求被拒绝，未逐条记下",
     "refused: %2 more requests of %1 in one minute, not logged one by one"},
    {Words::kValueCut, "%1…（共 %2 字节）", "%1… (%2 bytes in all)"},
    {Words::kLogCapReached, "服务日志已达当日上限 %1 字节，今日此后的记录只计数，不再写入",
     "the service's log reached its daily limit of %1 bytes: later lines today are only counted"},
    {Words::kLogHeldBack, "服务日志达到当日上限后，另有 %1 行未写入",
     "after the service's log reached its daily limit, %1 more lines were not written"},

    {Words::kRefusedHost, "拒绝访问：主机名不是 127.0.0.1 或 localhost",
     "refused: the host name is not 127.0.0.1 or localhost"},
    {Words::kHostNotAccepted, "主机名 %1 不被接受", "host %1 is not accepted"},
    {Words::kRefusedOrigin, "拒绝访问：此网页的来源未获准使用读卡服务",
     "refused: this page's origin may not use the card service"},
    {Words::kOriginNotAllowed, "来源 %1 不在允许列表中", "origin %1 is not in the allowed list"},
    {Words::kNoSuchPath, "没有这个地址：%1", "no such path: %1"},
    {Words::kMethodOnly, "此地址只接受 %1 请求", "this path takes %1 requests only"},
    {Words::kBodyTooLarge, "请求内容超过 4 KiB", "the request's body is over 4 KiB"},
    {Words::kNotJsonType, "请求内容类型必须是 application/json",
     "the request's content type must be application/json"},
    {Words::kContentTypeRefused, "内容类型 %1 不是 application/json",
     "content type %1 is not application/json"},
    {Words::kBodyNotJson, "请求内容不是有效的 JSON", "the request's body is not valid JSON"},
    {Words::kBodyNotObject, "请求内容必须是 JSON 对象", "the request's body must be a JSON object"},
    {Words::kNoTrack, "缺少磁条内容 track，或它不是文本",
     "the magnetic track (track) is missing or not a text"},
    {Words::kReadFailedUnlogged, "读卡失败，读卡日志也无法写入",
     "the read failed and the card log cannot be written either"},
    {Words::kCardBusy, "读卡器正忙，请稍后再试", "the card reader is busy; try again shortly"},
    {Words::kDriverTimedOut, "读卡器驱动在规定时间内没有应答",
     "the card reader's driver did not answer in time"},
    {Words::kDriverCrashed, "读卡器驱动崩溃，请再读一次",
     "the card reader's driver crashed; read once more"},
    {Words::kCardUnavailable, "读卡服务无法启动读卡进程或加载读卡库",
     "the card service cannot start its card process or load the card library"},
    {Words::kHeadersTooLarge, "请求头过大", "the request's headers are too large"},
    {Words::kNotHttp, "无法识别的 HTTP 请求", "not a recognisable HTTP request"},
    {Words::kHeadersTooLargeSender, "请求头过大的请求", "a request with headers too large"},
    {Words::kRefusedHeaders, "拒绝：请求头超过 %1 字节", "refused: headers over %1 bytes"},
    {Words::kRefusedBody, "拒绝 %1 %2：请求内容超过 %3 字节，%4",
     "refused %1 %2: the body is over %3 bytes, %4"},
    {Words::kRefusedRequest, "拒绝 %1：%2", "refused %1: %2"},

    {Words::kRefusalsBefore, "（此前一小时内另有 %1 次同一来源的拒绝）",
     " (%1 more refusals of the same sender in the hour before)"},

    {Words::kDeskNoLibrary, "读卡动态库不在服务旁边：无法读卡。请重新安装读卡服务",
     "the card library is not beside the service: no card can be read; install the service again"},
    {Words::kDeskNoDriver,
     "没有读卡器驱动 SSCardDriver.dll：无法读 IC 卡。请把读卡器厂家的 32 位驱动放到服务旁边",
     "no card reader driver SSCardDriver.dll: IC cards cannot be read; put the vendor's 32-bit "
     "driver beside the service"},
    {Words::kDeskDriverNot32Bit,
     "SSCardDriver.dll 不是 32 位的 Windows DLL（64 位或文件有误）：无法加载。请换成厂家的 32 "
     "位驱动",
     "SSCardDriver.dll is no 32-bit Windows DLL (64-bit, or damaged): it cannot be loaded; use the "
     "vendor's 32-bit driver"},
    {Words::kDeskDriverNoRead,
     "SSCardDriver.dll 没有导出 "
     "iReadCardBas（或只有修饰名）：不是可用的读卡器驱动。请向厂家索取正确的驱动",
     "SSCardDriver.dll does not export iReadCardBas (or only a decorated name): not a usable "
     "driver; ask the vendor for the right one"},
    {Words::kDeskDriverSimulated,
     "SSCardDriver.dll 是用于测试和演示的模拟驱动：读到的都是假数据。请换成读卡器厂家的驱动",
     "SSCardDriver.dll is the simulated driver for tests and demos: every read is made up; use the "
     "vendor's driver"},
    {Words::kDeskVirtualCard,
     "Login.ini 打开了虚拟卡（REALCARD）：读 IC "
     "卡号时不读卡，每位病人都得到同一个卡号。挂号电脑上请设置 "
     "REALCARD = false",
     "Login.ini turns the virtual card on (REALCARD): every patient gets the same number; set "
     "REALCARD = false on a registration PC"},
    {Words::kDeskLogNotWritable,
     "读卡日志目录无法写入：读卡失败时记不下原因。请给读卡服务的账户（不是普通用户）该目录的写权限",
     "the card log's directory cannot be written: a failed read loses its reason; give the "
     "service's account (not the ordinary users) write permission on it"},
    {Words::kDeskWritableChecks,
     "服务的文件夹或它运行的文件不只管理员可以改写，有人可借此以服务的身份运行程序：读卡已停止。"
     "请只让管理员有写权限（哪些文件、哪个用户见服务日志），然后重新启动服务",
     "the service's folder or the files it runs can be changed by others than the administrators, "
     "who could run programs as the service: card reads are refused; let only administrators write "
     "there (the service's log names the files and accounts) and restart the service"},
    {Words::kDeskWritableServed,
     "服务的文件夹或它运行的文件不只管理员可以改写，有人可借此以服务的身份运行程序；"
     "因 cardservice.ini 中 writabledesk = serve 仍在读卡。请只让管理员有写权限",
     "the service's folder or the files it runs can be changed by others than the administrators, "
     "who could run programs as the service; cards are read because cardservice.ini says "
     "writabledesk = serve; let only administrators write there"},

    {Words::kDeskWritableBy, "%1 可被 %2 改写（%3）", "%1 can be changed by %2 (%3)"},
    {Words::kDeskOwnedBy, "%1 的所有者是 %2，它可随意更改权限",
     "%1 is owned by %2, who may change its permissions"},
    {Words::kDeskNoAccessList, "%1 没有访问控制列表，任何人都可改写",
     "%1 has no access list: anyone may change it"},
    {Words::kDeskUnreadable, "无法读取 %1 的权限：%3", "cannot read the permissions of %1: %3"},
    {Words::kDeskOthers, "所有其他用户", "all other users"},
    {Words::kDeskWritableRefusingLog,
     "服务的文件夹或它运行的文件不只管理员可以改写，拒绝读卡，直到权限改正、服务重新启动：%1",
     "the service's folder or the files it runs can be changed by others than the administrators; "
     "card reads are refused until that is mended and the service restarted: %1"},
    {Words::kDeskWritableServingLog,
     "服务的文件夹或它运行的文件不只管理员可以改写，因 writabledesk = serve 仍照常读卡：%1",
     "the service's folder or the files it runs can be changed by others than the administrators; "
     "cards are read as writabledesk = serve says: %1"},
    {Words::kDeskReadsRefused,
     "读卡服务的文件夹可被管理员以外的用户改写，为安全起见读卡服务拒绝读卡。请联系信息科改正权限",
     "the card service's folder can be changed by others than the administrators: for safety "
     "it reads no card; ask IT to mend the permissions"},
};

constexpr std::size_t kTextCount = static_cast<std::size_t>(Words::kCount);
static_assert(sizeof kTexts / sizeof kTexts[0] == kTextCount, "every text has its line");

constexpr bool InOrder() {
  for (std::size_t i = 0; i < kTextCount; ++i) {
    if (static_cast<std::size_t>(kTexts[i].words) != i) return false;
  }
  return true;
}
static_assert(InOrder(), "the table lists the texts in their order");

}  // namespace

Language ConsoleLanguage() {
  return cardhost::SystemPrefersChinese() ? Language::kChinese : Language::kEnglish;
}

std::string Say(Words words, std::initializer_list<std::string> values) {
  return Say(Language::kChinese, words, values);
}

std::string Say(Language language, Words words, std::initializer_list<std::string> values) {
  const std::size_t index = static_cast<std::size_t>(words);
  if (index >= kTextCount) return std::string();
  const std::string pattern =
      language == Language::kChinese ? kTexts[index].chinese : kTexts[index].english;
  std::string result;
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    const char digit = at + 1 < pattern.size() ? pattern[at + 1] : '\0';
    const std::size_t number = static_cast<std::size_t>(digit - '0');
    if (pattern[at] == '%' && digit >= '1' && digit <= '9' && number <= values.size()) {
      result += values.begin()[number - 1];
      ++at;
    } else {
      result += pattern[at];
    }
  }
  return result;
}

std::string Say(Language language, const Failure& failure) {
  const std::string words = Say(language, failure.code, {failure.value, failure.detail});
  if (failure.file.empty()) return words;
  return Say(language, Words::kConfigInFile, {failure.file, words});
}

}  // namespace service
