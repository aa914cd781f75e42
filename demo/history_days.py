#!/usr/bin/env python3
"""Writes DAYS variants of the demo world into FOLDER (day0.json ...): the demo
site as it was on each of the days before today's check. www.friend-linkback.com
grows in Baidu's index, loses its link back for two days and adds nofollow for
two more; www.friend-nolink.org linked back until four days ago; the forum's
index was twice today's; the long-named blog was not yet listed; the slow site
was quick.
    demo/history_days.py WORLD.json FOLDER DAYS"""
import json, sys

BAIDU = "http://www.baidu.com/s?wd=site:"
LINKBACK = "http://www.friend-linkback.com/"
NOLINK = "http://www.friend-nolink.org/"
HOME = "http://www.demo-home.com/"
LONG = '<a href="http://blog.friend-long.com/">一个名字特别特别长的友情链接博客站点</a>\n'


def back_page(anchor):
    return f"<html><body><p>友情链接：</p>\n{anchor}\n<a href=\"/about.html\">关于</a></body></html>"


def baidu_page(count, first_line):
    return ("<html><head><title>百度搜索</title></head><body>"
            f"<div class=nums>百度一下，找到相关网页{count}篇，用时0.021秒</div>\n"
            f"<h3>首页</h3><font color=#008000>{first_line}</font>\n</body></html>")


def day_world(world, day, days):
    w = json.loads(json.dumps(world))
    ago = days - day  # days before today
    if ago in (7, 6):
        w[LINKBACK] = back_page('<a href="http://www.elsewhere.com/">别处</a>')
    elif ago in (4, 3):
        w[LINKBACK] = back_page('<a href="http://www.demo-home.com/" rel="nofollow">演示之家</a>')
    w[BAIDU + LINKBACK[len("http://"):]] = baidu_page(f"约{900 + day * 45:,}", "www.friend-linkback.com/ 12K 2026-11-30 ")
    if ago > 4:
        w[NOLINK] = back_page('<a href="http://www.demo-home.com/">演示之家</a>')
    w[BAIDU + "www.friend-bbs.com/bbs/"] = baidu_page("约2,000", "www.friend-bbs.com/bbs/ 40K 2026-12-05 ")
    w[HOME]["body"] = w[HOME]["body"].replace(LONG, "")
    w["http://www.friend-slow.cn/"].pop("delay", None)
    return w


def main():
    world_path, folder, days = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with open(world_path, encoding="utf-8") as f:
        world = json.load(f)
    for day in range(days):
        with open(f"{folder}/day{day}.json", "w", encoding="utf-8") as f:
            json.dump(day_world(world, day, days), f, ensure_ascii=False, indent=1)


if __name__ == "__main__":
    main()
