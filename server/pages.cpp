#include "server/pages.h"

#include <ctime>

namespace server {
namespace {

constexpr const char* kStyle = R"css(
body { font-family: "Microsoft YaHei", "WenQuanYi Micro Hei", sans-serif; margin: 0;
       color: #222; background: #f4f6f8; line-height: 1.6; }
header { background: #2b5797; color: #fff; padding: 12px 24px; }
header a { color: #fff; margin-right: 16px; text-decoration: none; }
main { max-width: 860px; margin: 0 auto; padding: 16px 24px; background: #fff; }
h1 { font-size: 22px; } h2 { font-size: 18px; border-bottom: 1px solid #ddd; }
table { border-collapse: collapse; } td, th { border: 1px solid #ccc; padding: 4px 10px; }
.note { color: #666; font-size: 13px; } .ok { color: #1a7f37; } .bad { color: #b42318; }
)css";

std::string Page(const std::string& title, const std::string& body) {
  std::string page = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n";
  page +=
      "<title>" + HtmlEscape(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
  page +=
      "<header><a href=\"/\">Orvane 首页</a><a href=\"/Too/daohang.php\">网址导航</a>"
      "<a href=\"/SoftWare/userroom/stRegulation.php?seleweb=OrvaneSM\">使用说明</a>"
      "<a href=\"/SoftWare/userroom/register.php\">注册账号</a></header>\n<main>\n";
  page += body;
  page += "\n</main>\n</body>\n</html>\n";
  return page;
}

std::string Date(std::int64_t at) {
  std::time_t time = static_cast<std::time_t>(at);
  std::tm parts{};
  localtime_r(&time, &parts);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &parts);
  return buffer;
}

const char* SexName(int sex) {
  switch (sex) {
    case 1:
      return "男";
    case 2:
      return "女";
    default:
      return "未填写";
  }
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string HomePage() {
  return Page("Orvane 定时助手", R"html(
<h1>Orvane 定时助手</h1>
<p>Orvane 是一款小巧的桌面定时工具：到点关机、倒计时重启、离开电脑后自动注销，
也能弹窗提醒、闹铃提醒、定时打开文件或关闭程序。登录账号后还可以把任务同步到服务器，
换一台电脑登录也能找回。</p>
<ul>
<li><a href="/SoftWare/userroom/stRegulation.php?seleweb=OrvaneSM">使用说明</a></li>
<li><a href="/SoftWare/userroom/register.php">注册新账号</a></li>
<li><a href="/Too/daohang.php">网址导航</a></li>
</ul>
)html");
}

std::string NavigationPage(const Account* account) {
  std::string body = "<h1>网址导航</h1>\n";
  if (account) {
    body += "<p>欢迎回来，" + HtmlEscape(account->nickname) + "（账号 " +
            std::to_string(account->id) + "，积分 " + std::to_string(account->points) +
            "）。</p>\n";
  }
  body += R"html(
<h2>Orvane 站内</h2>
<ul>
<li><a href="/">Orvane 首页</a></li>
<li><a href="/SoftWare/userroom/stRegulation.php?seleweb=OrvaneSM">Orvane 使用说明</a></li>
<li><a href="/SoftWare/userroom/register.php">注册 Orvane 账号</a></li>
</ul>
<h2>常用网站</h2>
<ul>
<li><a href="https://www.baidu.com/" target="_blank">百度</a></li>
<li><a href="https://www.sina.com.cn/" target="_blank">新浪</a></li>
<li><a href="https://www.163.com/" target="_blank">网易</a></li>
<li><a href="https://www.zhihu.com/" target="_blank">知乎</a></li>
<li><a href="https://www.weather.com.cn/" target="_blank">中国天气</a></li>
<li><a href="https://map.baidu.com/" target="_blank">百度地图</a></li>
</ul>
<p class="note">站外链接会在系统默认浏览器中打开。</p>
)html";
  return Page("网址导航", body);
}

std::string InstructionsPage() {
  return Page("Orvane 使用说明", R"html(
<h1>Orvane 使用说明</h1>
<p>Orvane 是一款桌面定时工具。它在后台每秒检查一次任务，到时后替您关机、重启、注销，
或者弹出提醒、播放闹铃、打开文件、关闭程序。每个任务只执行一次。</p>

<h2>一、启动与登录</h2>
<p>程序启动时先打开登录页，并检查服务器是否可以连接、是否有新版本。</p>
<ul>
<li><b>登陆</b>：填写“ID帐号”和“密码”后点击“登陆”。账号是注册成功时显示的数字 ID。
连续输错三次后，本次运行内不再允许登录（提示“错误次数太多!”），请重新启动程序后再试。</li>
<li><b>记住密码 / 自动登陆</b>：勾选“记住密码”后，下次启动会自动填好账号和密码；
在此基础上勾选“自动登陆”，下次启动将直接登录。取消“记住密码”会同时取消“自动登陆”。</li>
<li><b>免登陆</b>：不登录也可以使用，但只能保存一个任务，也不能使用个人中心、小工具和任务同步。</li>
<li><b>注册</b>：打开注册页，见下文“四、注册账号”。</li>
</ul>
<p>如果提示“网络连接失败!”，说明服务器暂时无法连接，此时只能免登陆使用；
主窗口上的“重新联网”可以再次打开登录页。</p>

<h2>二、添加任务</h2>
<p>在主窗口左侧列表中选择“添加任务”（免登陆时为“任务管理”），打开任务编辑页：</p>
<table>
<tr><th>方式</th><th>含义</th></tr>
<tr><td>设定时</td><td>在今天的某时某分执行，小时 0～23，分钟 0～59。</td></tr>
<tr><td>倒计时</td><td>从保存时起，过若干小时若干分钟后执行。</td></tr>
<tr><td>离开时</td><td>键盘和鼠标连续无人操作达到设定的时间后执行。</td></tr>
</table>
<p>动作可选“关机”“重启”“注销”或“操作”。选择“操作”后还可以选：</p>
<ul>
<li><b>弹窗提醒</b>：到时弹出提醒窗口，显示您填写的提示语（最多 40 个字符），不填则显示“时间到了哦!”。</li>
<li><b>闹铃提醒</b>：到时循环播放所选铃声（0.1、0.2、0.3），直到您关闭提醒窗口。</li>
<li><b>打开文件</b>：到时打开您选择的文件或程序。</li>
<li><b>关闭文件</b>：到时结束您选择的程序。</li>
</ul>
<p>小时和分钟只能输入数字，最多两位。点击“启动”或“确定”保存任务。
关机、重启和注销在执行前会弹出警告窗口，倒数 60 秒提醒您保存工作；
如需取消，请及时在“管理任务”中删除该任务。</p>
<p>可以保存的任务数量：免登陆 1 个；普通账号 3 个；高级账号 9 个。
任务已满时会提示“任务数量已满！”。</p>

<h2>三、管理任务</h2>
<p>选择“管理任务”打开任务列表，九行分别对应九个任务位置，显示序号、方式、时间和任务。
点击一行可以修改该任务；点击“删除”一栏可以删除。勾选“网络同步删除”后，删除会同时通知服务器。
任务执行后，服务器上的副本不会自动取消。</p>

<h2>四、注册账号</h2>
<p>在登录页点击“注册”，填写邮箱、密码（至少 6 位，需输入两次）、昵称、性别和 QQ（可不填）。
昵称至少 5 个英文字符或 2 个汉字。注册成功后会显示您的登陆账号（数字 ID），请牢记。
如果提示“该邮箱已注册”，请换一个邮箱或直接登录；提示“注册数量发放结束”时，请留意下一次开放注册的时间。
也可以在网页上<a href="/SoftWare/userroom/register.php">注册</a>。</p>

<h2>五、任务同步（高级账号）</h2>
<p>高级账号在“系统设置”中打开“网络同步”后，添加或修改任务时勾选“同步添加”/“同步修改”，
任务就会保存到服务器；提示“任务同步成功”表示已保存。下次在任何一台电脑上登录，
程序会自动取回这些任务并重新开始计时。提示“同步失败!”时，本机的任务仍然有效。</p>

<h2>六、系统设置</h2>
<ul>
<li><b>开机启动</b>：登录 Windows 后自动运行 Orvane。</li>
<li><b>网络同步</b>：高级账号的任务同步开关。</li>
<li><b>自动登陆</b>：记住密码时，启动后自动登录。</li>
<li><b>自动更新</b>：发现新版本时不再询问，直接下载更新程序并更新。</li>
</ul>
<p>点击“确  定”保存，设置立即生效。</p>

<h2>七、其他功能</h2>
<ul>
<li><b>个人中心</b>：查看账号、昵称、积分等资料。</li>
<li><b>小工具</b>：计算器、记事本、命令提示符、网站IP获取，以及批量替换、批量下载、批量截取三个文本工具。
批量工具会处理所选文件夹下的全部文件，请先备份重要文件。</li>
<li><b>建议反馈</b>：填写称呼、邮箱和内容（最多 200 字节）后提交，我们会认真阅读。</li>
<li><b>托盘</b>：点击主窗口的托盘按钮可以把程序收到通知区域，左键单击托盘图标恢复窗口，右键退出。</li>
</ul>

<h2>八、常见问题</h2>
<ul>
<li><b>程序重启后任务不见了？</b>任务只保存在内存中。只有高级账号开启网络同步后，登录时才会取回任务。</li>
<li><b>提示“网络异常”或“联网失败”？</b>请检查网络连接后重新启动程序。</li>
<li><b>提示“已经打开了!”？</b>Orvane 已经在运行，请在通知区域找到它的图标。</li>
</ul>
)html");
}

std::string PersonalPage(const Account& account, int taskCount) {
  std::string body = "<h1>个人中心</h1>\n<table>\n";
  auto row = [&](const char* name, const std::string& value) {
    body += std::string("<tr><th>") + name + "</th><td>" + HtmlEscape(value) + "</td></tr>\n";
  };
  row("登陆账号", std::to_string(account.id));
  row("昵称", account.nickname);
  row("账号等级", account.level == 1 ? "高级账号（可同步 9 个任务）" : "普通账号");
  row("积分", std::to_string(account.points));
  row("邮箱", account.email.empty() ? "未填写" : account.email);
  row("性别", SexName(account.sex));
  row("QQ", account.qq.empty() ? "未填写" : account.qq);
  row("已同步任务", std::to_string(taskCount) + " 个");
  row("注册时间", Date(account.createdAt));
  body += "</table>\n";
  return Page("个人中心", body);
}

std::string RefusalPage() {
  return Page("个人中心",
              "<h1>个人中心</h1>\n<p class=\"bad\">账号或密码有误，无法显示个人资料。"
              "请在程序中重新登录后再打开个人中心。</p>\n");
}

std::string RegistrationPage(const std::string& message, bool success) {
  std::string body = "<h1>注册 Orvane 账号</h1>\n";
  if (!message.empty()) {
    body += std::string("<p class=\"") + (success ? "ok" : "bad") + "\">" + HtmlEscape(message) +
            "</p>\n";
  }
  if (!success) {
    body += R"html(
<form method="get" action="/SoftWare/userroom/register.php" accept-charset="utf-8">
<table>
<tr><th>邮箱(必填)</th><td><input name="email" type="email" maxlength="100" required></td></tr>
<tr><th>密码(必填)</th><td><input name="pasd" type="password" minlength="6" maxlength="64" required></td></tr>
<tr><th>重复密码</th><td><input name="pasd2" type="password" maxlength="64"></td></tr>
<tr><th>昵称(必填)</th><td><input name="usr" maxlength="20" required></td></tr>
<tr><th>性别</th><td><select name="nannv"><option value="1">男</option>
<option value="2" selected>女</option></select></td></tr>
<tr><th>QQ</th><td><input name="qim" maxlength="12" pattern="[0-9]*"></td></tr>
</table>
<p><button type="submit">注   册</button></p>
</form>
)html";
  } else {
    body += "<p>请回到程序的登录页，用上面的账号和您设置的密码登录。</p>\n";
  }
  return Page("注册账号", body);
}

std::string AdvertisementPage(const std::string& content) {
  if (content.find("<html") != std::string::npos || content.find("<HTML") != std::string::npos)
    return content;
  std::string page = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n";
  page +=
      "<title>Orvane</title>\n<style>body { margin: 0; padding: 6px; font-family: "
      "\"Microsoft YaHei\", sans-serif; font-size: 13px; background: #fff; }</style>\n";
  page += "</head>\n<body>\n" + content + "\n</body>\n</html>\n";
  return page;
}

std::string NotFoundPage() {
  return Page("页面不存在",
              "<h1>页面不存在</h1>\n<p>您访问的页面不存在。<a href=\"/\">返回首页</a></p>\n");
}

}  // namespace server
