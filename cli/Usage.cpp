#include "cli/Usage.h"

#include "check/TextEscape.h"

namespace friendlinks {
namespace {

const QString kWindowUsage = QStringLiteral(
    "usage: friendlinks [SITE [--check]] [--modern] [--proxy URL] [--baidu-host HOST] [--ca-file PEM]\n"
    "                   [--insecure] [--baidu-interval-ms N] [--jobs N] [--timeout-ms N]\n"
    "                   [--baidu-max-age DURATION]\n");

const QString kCheckSynopsis = QStringLiteral(
    "       friendlinks check SITE... [--sites FILE] [--format table|tsv|csv|json|jsonl] [--modern]\n"
    "                              [--proxy URL] [--baidu-host HOST] [--jobs N] [--timeout-ms N]\n"
    "                              [--ca-file PEM] [--insecure] [--baidu-interval-ms N] [--facts]\n"
    "                              [--history FILE] [--no-history] [--changes | --changes-only]\n"
    "                              [--baidu-max-age DURATION] [--spider-check]\n");

const QString kCheckOptions = QStringLiteral(
    "`check` lists the friend links of SITE and probes each one: link back, Baidu index count,\n"
    "snapshot and site: rank. Several sites share the workers and the per-host limit (Baidu's too).\n"
    "SITE is a host or an http:// or https:// address; in --modern the host is read in lower case\n"
    "(the classic check takes it as typed and says once \"注意：查询字母不能大写\").\n"
    "  --sites FILE      more sites, one a line, UTF-8 text (\"-\" reads standard input; blank\n"
    "                    lines, lines starting with # and a trailing \" # comment\" are skipped)\n"
    "  --format F        table (default), tsv, csv (for spreadsheets: UTF-8 with BOM, CR LF),\n"
    "                    json, or jsonl (one site object a line, as each site finishes);\n"
    "                    with several sites json is {\"sites\": [...]} and tsv, csv and\n"
    "                    table start with a column 站点\n"
    "  --modern          today's web: a friend link is a link to the home page (the root or\n"
    "                    a root index file, any query) of another site by the Public Suffix\n"
    "                    List, any name ending, with or without www., either scheme, listed\n"
    "                    once; a link back by its host in either scheme, the charset a page\n"
    "                    declares, today's Baidu page\n"
    "                    - pages read as a browser reads them: no links from comments or\n"
    "                    scripts, addresses resolved against <base> and the page's final\n"
    "                    address, whole link texts up to 64 characters\n"
    "                    - an error page holds no link back (\"页面错误 HTTP 404\"); a nofollow,\n"
    "                    robots-nofollow or hidden link back is red\n"
    "                    - so is one kept from Baidu: \"robots.txt 禁止百度抓取\" (the friend's\n"
    "                    robots.txt disallows Baiduspider), \"对百度蜘蛛隐藏\" (the page fetched\n"
    "                    again as Baidu's spider, by User-Agent only, differs about the link\n"
    "                    back), \"跳转链接\" (the link goes through the friend's redirect script)\n"
    "                    - a link back hidden by the page's style or an ancestor (its\n"
    "                    <style>, 2 same-site style sheets) is red \"隐藏的链接\"; one only in\n"
    "                    script text (inline, 4 same-site scripts) \"脚本写入的链接\", one only\n"
    "                    in a same-site frame page (2 at most) \"框架页里的链接\"\n"
    "  --spider-check    classic check: also fetch each friend's page as Baidu's spider\n"
    "                    (facts.spider_view only; modern mode always does, the cells unchanged)\n"
    "  --proxy URL       an HTTP proxy for every request, e.g. http://127.0.0.1:8080; without\n"
    "                    it http_proxy, https_proxy and no_proxy are used as curl uses them\n"
    "                    (on Windows the system's proxy settings)\n"
    "  --no-proxy        no proxy at all, whatever the environment says (also --proxy '')\n"
    "  --baidu-host HOST the Baidu search host (default www.baidu.com)\n"
    "  --jobs N          workers, 1 to 64 (default 8), shared by all sites: each reads one\n"
    "                    home page or probes one friend link (its page, then Baidu) at a time\n"
    "  --timeout-ms N    time limit of each fetch in milliseconds (default 5000)\n"
    "  --ca-file PEM     certificate authorities to trust besides the system's (may repeat)\n"
    "  --insecure        read https pages whose certificate cannot be trusted; the trouble\n"
    "                    is still reported (without it such a page counts as not answered)\n"
    "  --baidu-interval-ms N  at least N ms between the starts of two Baidu queries, across\n"
    "                    all sites of a run (default 0)\n"
    "  --facts           tsv, csv and table: add the fact columns HTTP状态, 最终地址, 用时ms,\n"
    "                    反链nofollow, 页面nofollow, 对方外链数, 百度状态, 百度收录(新);\n"
    "                    json rows always carry them as \"facts\", and each site object\n"
    "                    ends with \"home\": {status, final_url, ms, tls_error} of its own page\n"
    "                    (and 我方nofollow: our own link to the friend is nofollow, json\n"
    "                    \"our_link\"); with --modern facts.backlink adds \"url\", the\n"
    "                    address its href resolves to, and for a jump link \"via\"; then\n"
    "                    robots禁止百度 (json \"robots\": {baiduspider_allowed, rule}, one\n"
    "                    robots.txt request per friend host), 对蜘蛛隐藏 (\"spider_view\":\n"
    "                    {status, backlink}), 跳转地址 (backlink.via), 反链位置 (backlink.where:\n"
    "                    page, script or frame) and 反链隐藏 (backlink.hidden_by)\n"
    "  --history FILE    record each site's check into FILE (an SQLite history, made when\n"
    "                    missing) instead of $FRIENDLINKS_HISTORY or, without it, history.sqlite\n"
    "                    in the user's data folder (~/.local/share/friendlinks/ on Linux,\n"
    "                    %LOCALAPPDATA%\\friendlinks\\ on Windows)\n"
    "  --no-history      record nothing\n"
    "  --changes         after the output, what changed since each site's last recorded check\n"
    "                    (diff's rules): 变差/好转/变化 a change, 仍未恢复 a bad state begun earlier,\n"
    "                    with its first day; tsv and csv as a second table after an empty line\n"
    "                    (站点 趋势 变化 代码 网站地址 旧值 新值 起始日), json and jsonl as the keys\n"
    "                    \"compared_with\", \"changes\" and \"ongoing\" of each site object\n"
    "  --changes-only    only the changes, only of the sites that got worse, nothing at all when\n"
    "                    none did (a first check included): for cron, which mails what it prints;\n"
    "                    stderr then says only failures\n"
    "  --baidu-max-age DURATION  use a Baidu answer recorded for the same query within DURATION\n"
    "                    (90m, 12h, 1d; default 0: ask anew) instead of asking Baidu; such rows\n"
    "                    carry facts.baidu.cached_at (UTC). New answers are recorded in the\n"
    "                    history as they come; with --no-history only within the run. When\n"
    "                    Baidu blocks, unanswered rows take the newest answer of any age, and\n"
    "                    stderr counts the rows that kept one and those left empty\n"
    "json site objects also carry \"skipped\" (the anchors that gave no row, by reason:\n"
    "inner_page, same_site, not_http, footer_word, and in classic https, name_ending,\n"
    "host_prefix, index_page, too_long, contains_site_name; in modern duplicate, too_long)\n"
    "and, for a site that was not checked, \"cause\" (host_not_found, connection_refused,\n"
    "timeout, tls_untrusted, proxy_failed, connection_closed, empty_answer, too_many_redirects,\n"
    "http_error ...).\n"
    "A classic check that left out friend links a modern one lists says so on stderr.\n"
    "  --jobs and --timeout-ms apply to the whole batch.\n"
    "Once Baidu asks for a security check, no further Baidu query is sent; stderr says so.\n"
    "Each friend address is asked of Baidu once per run. At most 10000 friend links of one site\n"
    "are checked (stderr names how many were left); a --sites file over 32 MB is refused.\n"
    "Text from pages is never written raw: table, tsv and stderr show control and bidirectional\n"
    "characters as \\x1b or \\u202e (csv too, but for line breaks), csv puts ' before a cell\n"
    "starting with = + - @; json keeps the exact texts. Red cells are coloured only on a\n"
    "terminal, without NO_COLOR and TERM=dumb.\n"
    "Exit status: 0 done, 2 usage error, 3 a site cannot be fetched or its home page answers\n"
    "with an HTTP error (each named on stderr with the cause; the other sites are still checked\n"
    "and written), 4 output could not be written.\n"
    "  With --changes or --changes-only: 1 something got worse; 3 and 4 come before it, and 4\n"
    "  also when the changes could not be read; --no-history is then a usage error.\n"
    "A history that cannot record (cannot be opened, in use past 5 s, not a friendlinks history,\n"
    "damaged, full) is said once on stderr; the check still runs and prints, and exits 4 only\n"
    "when the file was named with --history.\n");

const QString kDiffSynopsis = QStringLiteral(
    "       friendlinks diff OLD.json NEW.json [--format table|json]\n"
    "       friendlinks diff SITE [--since DATE] [--format table|json] [--history FILE]\n");

const QString kDiffOptions = QStringLiteral(
    "compares two saved json (or jsonl) outputs and lists what changed per site, regressions\n"
    "first; a site that could not be checked in NEW is one line \"unreachable\". Besides the\n"
    "link back, nofollow, index and rank: robots_blocked, spider_hidden and jump_link, a\n"
    "partner starting to keep the link back from Baidu.\n"
    "Exit status: 0 nothing got worse, 1 something did, 2 usage error, unreadable file, a file\n"
    "holding no site or two files of different sites, 4 output could not be written.\n"
    "SITE in place of the files (an operand that is an existing file is a file): its last two\n"
    "checks in the history (--history FILE, else as for check; a missing file is not made).\n"
    "  --since DATE      YYYY-MM-DD: its newest check against its newest one started before\n"
    "                    that day (00:00 UTC), what changed since then\n"
    "  A site with no check to compare is a usage error (2); a history that cannot be read, 4.\n");

const QString kHistorySynopsis = QStringLiteral(
    "       friendlinks history SITE [--friend URL] [--format table|tsv|csv|json] [--history FILE]\n"
    "       friendlinks history --prune DAYS [--history FILE]\n");

const QString kHistoryOptions = QStringLiteral(
    "lists the checks of SITE that `check` recorded, newest first: when it started (local\n"
    "time), its mode, its rows, its red cells, for a check that could not be done why\n"
    "(无法访问, 首页返回 HTTP 404), and how many changes (diff's) it had against the site's\n"
    "check before, how many worse, how many better (empty for the first). SITE as it was\n"
    "checked (a modern check's host in lower case).\n"
    "  --format F        table (default), tsv (header 时间 模式 行数 标红 状态 变化 变差 变好),\n"
    "                    csv (the same columns, as check's csv), or json:\n"
    "                    {\"site\", \"checks\": [{\"id\", \"started\", \"finished\" (UTC, ISO 8601),\n"
    "                    \"mode\", \"rows\", \"red\", \"unreachable\", \"home_status\", \"version\",\n"
    "                    \"changes\", \"worse\", \"better\", \"compared_with\" (an id or null)}]}\n"
    "  --friend URL      that friend's row in each check instead, oldest first: when, its\n"
    "                    back link (有, 不传权重, 没有链接, 无法读取), follow/nofollow, index\n"
    "                    count, rank, HTTP status (header 时间 反链 跟踪 收录 排名 状态; json\n"
    "                    {\"site\", \"friend\", \"checks\": [{\"id\", \"started\", \"backlink\",\n"
    "                    \"follow\", \"pages\", \"rank\", \"status\"}]}); URL also found without\n"
    "                    \"http://\" or the closing \"/\"\n"
    "  --prune DAYS      drop every check (of every site) started more than DAYS days ago\n"
    "                    and say how many, and the Baidu answers kept (--baidu-max-age)\n"
    "                    that were asked before then\n"
    "  --history FILE    the history to read instead of $FRIENDLINKS_HISTORY or the default\n"
    "                    one (as for check); a missing file is an empty history, not made\n"
    "A site with no recorded check is said on stderr (the table is then empty).\n"
    "Exit status: 0 done, 2 usage error, 4 the history cannot be read (the reason on stderr)\n"
    "or the output could not be written.\n");

const QString kReportSynopsis = QStringLiteral(
    "       friendlinks report SITE [--friend URL] [--history FILE]\n");

const QString kReportOptions = QStringLiteral(
    "writes a report of the latest recorded check of SITE as one HTML file on standard output\n"
    "(friendlinks report www.me.com > report.html): UTF-8, its styles and charts inline, no\n"
    "script, nothing fetched from anywhere, printable. It shows that check's rows with their\n"
    "red cells, what changed since the check before it and since when, a chart per friend of\n"
    "its Baidu index count over the last 90 checks (the checks whose link back was missing or\n"
    "nofollow marked), and a notice for each partner whose link back went wrong, to send\n"
    "(\"您站上指向我站的链接自 12-03 起不见了\"). Times in local time, days in UTC.\n"
    "  --friend URL      only the notice for that friend, as a page of its own (its address as\n"
    "                    listed; the scheme, \"www.\", the host's case and a trailing / may differ)\n"
    "  --history FILE    the history to read instead of $FRIENDLINKS_HISTORY or the default\n"
    "                    one (as for check)\n"
    "Exit status: 0 done, 2 usage error, no recorded check of SITE, or no friend URL in its\n"
    "latest check (said on stderr), 4 the history cannot be read or the output could not be\n"
    "written.\n");

// A command's synopsis as its own --help begins: "usage:" in place of the block's first word.
QString usageLine(QString synopsis)
{
    return synopsis.replace(0, 6, QStringLiteral("usage:"));
}

} // namespace

QString wholeUsageText(const QStringList &synopses, const QStringList &overviews)
{
    return kWindowUsage + synopses.join(QString()) + QStringLiteral("       friendlinks --help | --version\n\n")
        + QStringLiteral(
              "With no command, opens the window: SITE fills its site box (else the last site checked),\n"
              "--check also presses 查询. Its 设置… remembers the proxy (the system's by default), time\n"
              "limit, jobs, Baidu interval and max age, certificate files, --insecure and the history;\n"
              "an option given here wins over what is remembered, for that run.\n")
        + overviews.join(QLatin1Char('\n'));
}

QString checkSynopsis()
{
    return kCheckSynopsis;
}

QString checkOverview()
{
    return kCheckOptions;
}

QString checkUsageText()
{
    return usageLine(kCheckSynopsis) + QLatin1Char('\n') + kCheckOptions;
}

QString diffSynopsis()
{
    return kDiffSynopsis;
}

QString diffOverview()
{
    return QStringLiteral("`diff` ") + kDiffOptions;
}

QString diffUsageText()
{
    return usageLine(kDiffSynopsis) + kDiffOptions;
}

QString historySynopsis()
{
    return kHistorySynopsis;
}

QString historyOverview()
{
    return QStringLiteral("`history` ") + kHistoryOptions;
}

QString historyUsageText()
{
    return usageLine(kHistorySynopsis) + kHistoryOptions;
}

QString reportSynopsis()
{
    return kReportSynopsis;
}

QString reportOverview()
{
    return QStringLiteral("`report` ") + kReportOptions;
}

QString reportUsageText()
{
    return usageLine(kReportSynopsis) + kReportOptions;
}

QString versionText()
{
    return QStringLiteral("friendlinks %1\n").arg(kVersion);
}

QString usageErrorText(const QString &command, const QString &problem)
{
    const QString program = command.isEmpty() ? QStringLiteral("friendlinks") : QStringLiteral("friendlinks ") + command;
    return QStringLiteral("%1: %2\nTry \"%1 --help\" for the options.\n").arg(program, escapeForDisplay(problem));
}

} // namespace friendlinks
