// On a real X display: the calendar's grid is drawn, every day cell carries its number and its
// lunar label in ink, and the Chinese labels come from a font that has the glyphs (not boxes).

#include <QFontDatabase>
#include <QGlyphRun>
#include <QImage>
#include <QRawFont>
#include <QTextLayout>
#include <QtTest>

#include "lunar/month_grid.h"
#include "qt/lunar_calendar.h"

using qtui::LunarCalendar;

namespace {

// Pixels that stand clearly apart from the cell's own background (its most common colour),
// counted in a horizontal band of the cell.
struct Ink {
    int pixels = 0;
    int left = INT_MAX, right = -1;
    int width() const { return right < left ? 0 : right - left + 1; }
};

Ink inkIn(const QImage& image, const QRect& band) {
    QHash<QRgb, int> counts;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x) ++counts[image.pixel(x, y)];
    }
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    const QColor bg(background);
    Ink ink;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x) {
            const QColor c(image.pixel(x, y));
            const int d = qAbs(c.red() - bg.red()) + qAbs(c.green() - bg.green()) +
                          qAbs(c.blue() - bg.blue());
            if (d > 60) {
                ++ink.pixels;
                ink.left = qMin(ink.left, x);
                ink.right = qMax(ink.right, x);
            }
        }
    }
    return ink;
}

QImage shot(LunarCalendar& c) {
    QImage image = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Logical pixels, whatever the display's scale.
    return image.scaled(c.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QFont labelFont(const LunarCalendar& c) {
    QFont f = c.font();
    f.setPixelSize(12);
    return f;
}

}  // namespace

class LunarCalendarXTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void aSimplifiedChineseFontIsInstalled();
    void chineseLabelsHaveRealGlyphs();
    void everyDayCellHasNumberAndLabelInk_data();
    void everyDayCellHasNumberAndLabelInk();
    void labelInkIsAsWideAsTheChineseText();
    void descriptionLineIsDrawn();

  private:
    std::unique_ptr<LunarCalendar> calendar_;
};

void LunarCalendarXTest::initTestCase() {
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    calendar_ = std::make_unique<LunarCalendar>();
    calendar_->resize(calendar_->sizeHint());
    calendar_->show();
    QVERIFY(QTest::qWaitForWindowExposed(calendar_.get()));
}

void LunarCalendarXTest::aSimplifiedChineseFontIsInstalled() {
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    QVERIFY2(!families.isEmpty(), "no font for Simplified Chinese (fonts-noto-cjk)");
}

void LunarCalendarXTest::chineseLabelsHaveRealGlyphs() {
    // Every character the cells and the description can show, shaped as the cell draws it:
    // glyph 0 would be the font's "missing" box.
    QString text = QStringLiteral("一二三四五六日农历年月星期闰正冬腊初十廿三");
    for (int i = 0; i < lunar::kSolarTermCount; ++i) {
        text += QString::fromStdString(lunar::solarTermName(i));
    }
    for (auto f : {lunar::Festival::SpringFestival, lunar::Festival::NewYearsEve,
                   lunar::Festival::MidAutumn, lunar::Festival::DoubleNinth}) {
        text += QString::fromStdString(lunar::festivalName(f));
    }
    QTextLayout layout(text, labelFont(*calendar_));
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        QVERIFY2(font.supportedWritingSystems().contains(QFontDatabase::SimplifiedChinese),
                 qPrintable(font.familyName()));
        for (quint32 g : run.glyphIndexes()) {
            QVERIFY2(g != 0, qPrintable("missing glyph in " + font.familyName()));
            ++glyphs;
        }
    }
    QCOMPARE(glyphs, text.size());
}

void LunarCalendarXTest::everyDayCellHasNumberAndLabelInk_data() {
    QTest::addColumn<QDate>("day");
    QTest::newRow("2026-12, weekdays, terms, a lunar month start") << QDate(2026, 12, 10);
    QTest::newRow("2014-09, 中秋 on 白露") << QDate(2014, 9, 8);
    QTest::newRow("2033-12, 闰冬月") << QDate(2033, 12, 22);
    QTest::newRow("1901-01, an empty place first") << QDate(1901, 1, 1);
}

void LunarCalendarXTest::everyDayCellHasNumberAndLabelInk() {
    QFETCH(QDate, day);
    LunarCalendar& c = *calendar_;
    c.setSelectedDate(day);
    QTest::qWait(50);
    const QImage image = shot(c);
    const lunar::MonthGrid grid = lunar::monthGrid(day.year(), day.month());
    int cells = 0;
    for (const lunar::DayCell& cell : grid) {
        const QDate date(cell.date.year, cell.date.month, cell.date.day);
        if (!date.isValid()) continue;
        const QRect r = c.dayRect(date);
        QVERIFY(!r.isEmpty());
        const QRect upper(r.left() + 3, r.top() + 2, r.width() - 6, r.height() / 2 - 2);
        const QRect lower(r.left() + 3, r.top() + r.height() / 2 + 1, r.width() - 6,
                          r.height() / 2 - 3);
        const Ink number = inkIn(image, upper);
        const Ink label = inkIn(image, lower);
        const QString where = date.toString(Qt::ISODate);
        QVERIFY2(number.pixels >= 8, qPrintable(where + " number"));
        // Two or three Chinese characters at 12 pixels leave far more ink than a digit.
        QVERIFY2(label.pixels >= 25, qPrintable(where + " label"));
        QVERIFY2(label.width() >= 14, qPrintable(where + " label width"));
        ++cells;
    }
    QVERIFY(cells >= 35);
    if (day == QDate(1901, 1, 1)) {
        // The place before the first covered day stays blank.
        const QRect first = c.dayRect(day);
        const QRect blank = first.translated(-first.width(), 0);
        QCOMPARE(inkIn(image, blank.adjusted(2, 2, -2, -2)).pixels, 0);
    }
}

void LunarCalendarXTest::labelInkIsAsWideAsTheChineseText() {
    LunarCalendar& c = *calendar_;
    c.setSelectedDate(QDate(2026, 12, 10));
    QTest::qWait(50);
    const QImage image = shot(c);
    const QFontMetrics metrics(labelFont(c));
    struct Case {
        QDate date;
        const char* label;
    };
    const Case cases[] = {
        {QDate(2026, 12, 22), "冬至"}, {QDate(2026, 12, 9), "冬月"}, {QDate(2026, 12, 16), "初八"}};
    for (const Case& k : cases) {
        if (k.date == QDate::currentDate()) continue;  // its today frame would count as ink
        const QRect r = c.dayRect(k.date);
        const QRect lower(r.left() + 1, r.top() + r.height() / 2 + 1, r.width() - 2,
                          r.height() / 2 - 2);
        const int advance = metrics.horizontalAdvance(QString::fromUtf8(k.label));
        const int ink = inkIn(image, lower).width();
        QVERIFY2(ink >= advance - 6 && ink <= advance + 1,
                 qPrintable(QString("%1: ink %2, text %3").arg(k.label).arg(ink).arg(advance)));
    }
}

void LunarCalendarXTest::descriptionLineIsDrawn() {
    LunarCalendar& c = *calendar_;
    c.setSelectedDate(QDate(2026, 12, 10));
    QTest::qWait(50);
    const QImage image = shot(c);
    const QRect line(0, c.height() - 20, c.width(), 18);
    const Ink ink = inkIn(image, line);
    const int advance = QFontMetrics(c.font()).horizontalAdvance(c.description());
    QVERIFY2(qAbs(ink.width() - advance) <= 8,
             qPrintable(QString("ink %1, text %2").arg(ink.width()).arg(advance)));
    // Centred on the line.
    QVERIFY(qAbs((ink.left + ink.right) / 2 - c.width() / 2) <= 4);
}

QTEST_MAIN(LunarCalendarXTest)
#include "lunar_calendar_xtest.moc"
