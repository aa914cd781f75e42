#!/usr/bin/env python3
"""Writes demo/world.json: a sample site whose friend links show every outcome."""
import base64, json, os

HOME = "http://www.demo-home.com/"
BAIDU = "http://www.baidu.com/s?wd=site:"

def baidu_page(count, first_line):
    return ("<html><head><title>百度搜索</title></head><body>"
            f"<div class=nums>百度一下，找到相关网页{count}篇，用时0.021秒</div>\n"
            f"<h3>首页</h3><font color=#008000>{first_line}</font>\n</body></html>")

def back_page(anchor):
    return f"<html><body><p>友情链接：</p>\n{anchor}\n<a href=\"/about.html\">关于</a></body></html>"

home = """<html><head><meta charset="utf-8"><title>演示之家</title></head><body>
<a href="http://www.demo-home.com/about.html">关于我们</a>
<a href="/news/">新闻</a>
<div class="links">友情链接：
<a href="http://www.friend-linkback.com/">回链之家</a>
<a href="http://www.friend-image.net/"><img src="http://www.friend-image.net/logo.gif"></a>
<a href="http://www.friend-nolink.org/" target="_blank">不回链网</a>
<a href="http://www.friend-slow.cn/">很慢的站</a>
<a href="http://www.friend-empty.com.cn/">空白站点</a>
<a href="http://bbs.friend-gb.com/">国标编码论坛</a>
<a href="http://blog.friend-long.com/">一个名字特别特别长的友情链接博客站点</a>
<a href="http://www.friend-bbs.com/bbs/">论坛目录</a>
<a href="http://www.friend-inner.com/page.html">内页链接</a>
<a href="http://www.a-very-long-friend-site-name-for-demo-only.com/">太长的地址</a>
</div>
<p><a href="http://www.miibeian.gov.cn/">京ICP备12345678号</a></p>
</body></html>
"""

gb_page = back_page('<a href="http://www.demo-home.com/">演示之家友情链接</a>').encode("gb2312")

world = {
    HOME: {"body": home},
    "http://www.friend-linkback.com/": back_page('<a href="http://www.demo-home.com/">演示之家</a>'),
    "http://www.friend-image.net/": back_page('<a href="http://www.demo-home.com/"><img src="/demo.gif"></a>'),
    "http://www.friend-nolink.org/": back_page('<a href="http://www.elsewhere.com/">别处</a>'),
    "http://www.friend-slow.cn/": {"body": back_page('<a href="http://www.demo-home.com/">演示</a>'), "delay": 6000},
    "http://www.friend-empty.com.cn/": {"body": ""},
    "http://bbs.friend-gb.com/": {"base64": base64.b64encode(gb_page).decode()},
    "http://blog.friend-long.com/": back_page('<a href="http://www.demo-home.com/" title="x">Demo Home, a friend</a>'),
    "http://www.friend-bbs.com/bbs/": back_page('<A HREF="http://www.demo-home.com/">演示</A>'),
    # A site that does not answer: the window's message box and its cause.
    "http://www.nonexist.com/": {"fault": "drop"},
    BAIDU + "www.friend-linkback.com/": baidu_page("约1,230", "www.friend-linkback.com/ 12K 2026-11-30 "),
    BAIDU + "www.friend-image.net/": baidu_page("约86", "www.friend-image.net/page.html 8K 2026-11-2"),
    BAIDU + "www.friend-nolink.org/": "<html><body>抱歉，没有找到与“site:www.friend-nolink.org/”相关的网页。</body></html>",
    BAIDU + "www.friend-slow.cn/": baidu_page("3", "www.friend-slow.cn/ 2K 2026-10-01 "),
    BAIDU + "www.friend-empty.com.cn/": baidu_page("0", "www.other.com/ 1K 2026-01-01 "),
    BAIDU + "bbs.friend-gb.com/": baidu_page("约4,500", "bbs.friend-gb.com/ 30K 2026年12月1日"),
    BAIDU + "blog.friend-long.com/": baidu_page("17", "blog.friend-long.com/ 5K 2026-12-04 "),
    BAIDU + "www.friend-bbs.com/bbs/": baidu_page("约990", "www.friend-bbs.com/bbs/ 40K 2026-12-05 "),
}

here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "world.json"), "w", encoding="utf-8") as f:
    json.dump(world, f, ensure_ascii=False, indent=1)
    f.write("\n")
