"""End to end: the built program started as a user starts it, under Xvfb."""

import re
import sys
import time
import unittest

from atspi_driver import Program, find, wait_for

BINARY = sys.argv.pop(1)
CLOCK = r"\d{2,}:\d{2}:\d{2}"


class StartAndTime(unittest.TestCase):
    def setUp(self):
        self.p = Program(BINARY)

    def tearDown(self):
        self.p.close()

    def answer_greeting(self):
        greeting = self.p.wait_find(role="alert", name="※寄语※")
        self.assertIsNone(find(self.p.app, role="frame"), "window shown before the greeting")
        text = find(greeting, role="label", pattern=r"\s+莫要轻言.*")
        self.assertTrue(text.name.startswith(" " * 14 + "莫要轻言做题苦,想想长征二万五！"))
        self.p.press(find(greeting, role="push button", name="确定"))
        return self.p.wait_find(role="frame", name="Kestrune公考计时器V1.2")

    def test_greeting_then_window_with_clock_and_log(self):
        frame = self.answer_greeting()
        self.assertIsNotNone(find(frame, role="label", name="00:00:00"))
        log = self.p.text_of(self.p.wait_find(role="text", name="做题时间记录"))
        self.assertRegex(log, r"^》》》》》》\d{4}年\d{1,2}月\d{1,2}日")
        for disabled in ("临时记录", "保存", "切歌", "后台", "停止"):
            self.assertFalse(self.p.enabled(self.p.button(disabled)), disabled)
        self.assertIsNone(find(frame, role="label", name="计时器"))

    def test_count_up_two_seconds_then_pause(self):
        frame = self.answer_greeting()
        self.p.press(self.p.button("正计时"))
        wait_for(lambda: find(frame, role="label", name="00:00:02"), timeout=5,
                 what="the clock at 00:00:02")
        self.p.press(self.p.button("暂停"))
        clock = find(frame, role="label", pattern=CLOCK).name
        self.assertIn(clock, ("00:00:02", "00:00:03"))
        time.sleep(1.2)
        self.assertEqual(find(frame, role="label", pattern=CLOCK).name, clock)
        box = self.p.wait_find(role="text", name="倒计时分钟数")
        self.assertEqual(self.p.text_of(box), "0")
        self.assertIsNotNone(find(frame, role="push button", name="继续"))
        self.assertIsNotNone(find(frame, role="push button", name="倒计时"))
        self.assertFalse(self.p.enabled(self.p.button("倒计时")))
        self.assertTrue(self.p.enabled(self.p.button("临时记录")))

    def test_escape_ends_the_program(self):
        self.answer_greeting()
        self.p.key("Escape")
        self.assertEqual(self.p.proc.wait(timeout=10), 0)

    def test_record_twice_and_save_to_the_diary(self):
        frame = self.answer_greeting()
        self.p.press(self.p.button("正计时"))
        wait_for(lambda: find(frame, role="label", name="00:00:01"), timeout=5,
                 what="the clock at 00:00:01")
        self.p.press(self.p.button("暂停"))
        self.p.click(self.p.wait_find(role="list item", name="数量关系"))
        count = self.p.wait_find(role="text", name="题目数")
        self.p.set_text(count, "10")
        record = self.p.button("临时记录")
        log = self.p.wait_find(role="text", name="做题时间记录")
        for n in (1, 2):
            self.p.press(record)
            wait_for(lambda: self.p.text_of(log).count("No.") == n, what=f"record line {n}")
        self.p.press(self.p.button("保存"))
        box = self.p.wait_find(role="alert", name="信息：")
        self.assertIsNotNone(find(box, role="label",
                                  name="临时记录被清空，时间已被记录到TXT文档，可到软件所在目录下查询"))
        self.p.press(find(box, role="push button", name="确定"))

        with open(self.p.record_file(), "rb") as f:
            data = f.read()
        header, first, second = data.split(b"\r\n")
        self.assertRegex(header.decode("gbk"), r"^》》》》》》\d{4}年\d{1,2}月\d{1,2}日")
        self.assertEqual(first, "No.1：数量关系-0分钟-题量：10".encode("gbk"))
        self.assertEqual(second, "No.2：数量关系-0分钟-题量：10".encode("gbk"))
        self.assertFalse(data.endswith(b"\r\n"))
        # A fresh log: a new header and numbering from 1 again.
        wait_for(lambda: "No." not in self.p.text_of(log), what="the log reset")
        self.p.press(record)
        wait_for(lambda: "No.1：" in self.p.text_of(log), what="No.1 again")


if __name__ == "__main__":
    unittest.main(verbosity=2, warnings="ignore")
