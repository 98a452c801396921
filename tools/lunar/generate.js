#!/usr/bin/env node
// Writes the lunar calendar table used by src/lunar and the reference data used by
// tests/unit/lunar, both taken from lunar-javascript (6tail).
//
// The table is read from the library's lunar-year view (LunarYear.getMonths and the solar-term
// table), while the reference data is read one day at a time through Solar.getLunar and
// Lunar.getJieQi. The two are separate code paths in the library, and this script refuses to
// write anything unless they agree on every day of the range.
//
// Usage: npm ci && node generate.js   (run from tools/lunar; writes into the repository)

'use strict';

const fs = require('fs');
const path = require('path');
const { Solar, Lunar, LunarYear } = require('lunar-javascript');
const libVersion = require('lunar-javascript/package.json').version;

const REPO = path.resolve(__dirname, '..', '..');
const TABLE_FILE = path.join(REPO, 'src', 'lunar', 'lunar_data.cpp');
const REFERENCE_FILE = path.join(REPO, 'tests', 'unit', 'lunar', 'reference.txt');

const FIRST_YEAR = 1901;
const LAST_YEAR = 2100;
// Lunar year 1900 is still running on 1901-01-01.
const FIRST_LUNAR_YEAR = FIRST_YEAR - 1;

const TERM_NAMES = [
    '小寒', '大寒', '立春', '雨水', '惊蛰', '春分', '清明', '谷雨', '立夏', '小满', '芒种', '夏至',
    '小暑', '大暑', '立秋', '处暑', '白露', '秋分', '寒露', '霜降', '立冬', '小雪', '大雪', '冬至',
];
// The library keys the terms just outside the lunar year with pinyin names.
const PINYIN_TERMS = {
    DONG_ZHI: '冬至', XIAO_HAN: '小寒', DA_HAN: '大寒', LI_CHUN: '立春', YU_SHUI: '雨水',
    JING_ZHE: '惊蛰', DA_XUE: '大雪',
};

function fail(message) {
    console.error('generate.js: ' + message);
    process.exit(1);
}

function pad(n, width) {
    return String(n).padStart(width, '0');
}

function ymd(solar) {
    return pad(solar.getYear(), 4) + pad(solar.getMonth(), 2) + pad(solar.getDay(), 2);
}

// ---- Table view: one entry per lunar year -------------------------------------------------

function lunarYearInfo(year) {
    const months = LunarYear.fromYear(year).getMonths().filter((m) => m.getYear() === year);
    if (months.length !== 12 && months.length !== 13) {
        fail(`lunar year ${year} has ${months.length} months`);
    }
    const first = Solar.fromJulianDay(months[0].getFirstJulianDay());
    if (months[0].getMonth() !== 1 || first.getYear() !== year) {
        fail(`lunar year ${year} does not begin with month 1 in Gregorian ${year}`);
    }
    let leap = 0;
    const lengths = [];
    months.forEach((m, i) => {
        if (m.getMonth() < 0) {
            if (leap !== 0) fail(`lunar year ${year} has two leap months`);
            leap = -m.getMonth();
            if (i === 0 || Math.abs(months[i - 1].getMonth()) !== leap) {
                fail(`leap month of ${year} does not follow its month`);
            }
        }
        const n = m.getDayCount();
        if (n !== 29 && n !== 30) fail(`month ${m.getMonth()} of ${year} has ${n} days`);
        lengths.push(n);
    });
    if ((leap !== 0) !== (lengths.length === 13)) fail(`lunar year ${year}: leap/length mismatch`);
    return { year, month: first.getMonth(), day: first.getDay(), leap, lengths };
}

// Solar terms of a Gregorian year as [{name, solar}] in order, from the lunar-year tables.
function termsOfYear(year) {
    const seen = new Map();
    for (const probe of [year - 1, year, year + 1]) {
        const table = Solar.fromYmd(probe, 6, 1).getLunar().getJieQiTable();
        for (const [key, solar] of Object.entries(table)) {
            const name = PINYIN_TERMS[key] || key;
            if (!TERM_NAMES.includes(name)) fail(`unknown term key ${key}`);
            if (solar.getYear() !== year) continue;
            const stamp = solar.toYmdHms();
            const old = seen.get(name);
            if (old && old.toYmdHms() !== stamp) fail(`${name} ${year}: ${old.toYmdHms()} vs ${stamp}`);
            seen.set(name, solar);
        }
    }
    const list = TERM_NAMES.map((name) => {
        const solar = seen.get(name);
        if (!solar) fail(`${name} missing in ${year}`);
        return { name, solar };
    });
    for (let i = 1; i < list.length; i++) {
        if (list[i].solar.toYmdHms() <= list[i - 1].solar.toYmdHms()) fail(`terms of ${year} out of order`);
    }
    // Each Gregorian month holds exactly two terms in this range: the table stores days of month.
    list.forEach((t, i) => {
        if (t.solar.getMonth() !== Math.floor(i / 2) + 1) fail(`${t.name} ${year} in month ${t.solar.getMonth()}`);
    });
    return list;
}

// ---- Day view: every day through Solar.getLunar -------------------------------------------

// Walks whole lunar years FIRST_LUNAR_YEAR..LAST_YEAR, so every month comes out complete.
function dayByDay(years) {
    const runs = []; // {start, year, month, leap, length}
    const terms = new Map(); // Gregorian year -> [days of month]
    const first = years[0];
    let solar = Solar.fromYmd(first.year, first.month, first.day);
    let count = 0;
    for (;;) {
        const lunar = solar.getLunar();
        if (lunar.getYear() > LAST_YEAR) break;
        const month = Math.abs(lunar.getMonth());
        const leap = lunar.getMonth() < 0;
        const last = runs[runs.length - 1];
        if (last && last.year === lunar.getYear() && last.month === month && last.leap === leap) {
            if (lunar.getDay() !== last.length + 1) fail(`day ${ymd(solar)} breaks its month`);
            last.length++;
        } else {
            if (lunar.getDay() !== 1) fail(`month starting ${ymd(solar)} starts on day ${lunar.getDay()}`);
            runs.push({ start: ymd(solar), year: lunar.getYear(), month, leap, length: 1 });
        }
        const term = lunar.getJieQi();
        if (term && solar.getYear() >= FIRST_YEAR && solar.getYear() <= LAST_YEAR) {
            const name = PINYIN_TERMS[term] || term;
            const index = TERM_NAMES.indexOf(name);
            if (index < 0) fail(`unknown term ${term} on ${ymd(solar)}`);
            if (!terms.has(solar.getYear())) terms.set(solar.getYear(), []);
            const list = terms.get(solar.getYear());
            if (list.length !== index) fail(`term ${name} out of order on ${ymd(solar)}`);
            list.push(solar.getDay());
        }
        if (solar.getYear() >= FIRST_YEAR && solar.getYear() <= LAST_YEAR) count++;
        solar = solar.next(1);
    }
    // Group the months back into lunar years, in the order the days gave them.
    const byYear = [];
    for (const r of runs) {
        if (!byYear.length || byYear[byYear.length - 1].year !== r.year) {
            byYear.push({ year: r.year, start: r.start, leap: 0, months: [] });
        }
        const y = byYear[byYear.length - 1];
        if (r.leap) y.leap = r.month;
        y.months.push(r);
    }
    return { byYear, terms, count };
}

// ---- Writers ------------------------------------------------------------------------------

// Rows of an initializer list with a trailing comment each, the comments lined up the way
// clang-format lines them up, so that formatting the repository leaves this file alone.
function alignedRows(rows) {
    const width = Math.max(...rows.map(([code]) => code.length));
    return rows.map(([code, comment]) => `${code.padEnd(width)}  // ${comment}`);
}

function writeTable(years, termYears) {
    const lines = [];
    lines.push('// Generated by tools/lunar/generate.js from lunar-javascript ' + libVersion +
        ' (npm, by 6tail). Do not edit:');
    lines.push('// change the script and run it again. See src/lunar/README.md for why this source.');
    lines.push('');
    lines.push('#include "lunar/lunar_data.h"');
    lines.push('');
    lines.push('namespace lunar::data {');
    lines.push('');
    lines.push('// Lunar years ' + FIRST_LUNAR_YEAR + '-' + LAST_YEAR +
        ': Gregorian month and day of 正月初一, leap month (0 = none),');
    lines.push('// and month lengths as 13 bits read left to right in month order (leap month in place),');
    lines.push('// 1 = 30 days, 0 = 29 days; a year without a leap month leaves the last bit 0.');
    lines.push('const std::array<LunarYearInfo, kLunarYearCount> kLunarYears = {{');
    lines.push(...alignedRows(years.map((y) => {
        const bits = y.lengths.map((n) => (n === 30 ? '1' : '0')).join('').padEnd(13, '0');
        return [`    {${y.month}, ${y.day}, ${y.leap}, 0b${bits}},`, y.year];
    })));
    lines.push('}};');
    lines.push('');
    lines.push('// Gregorian years ' + FIRST_YEAR + '-' + LAST_YEAR +
        ': day of month of each solar term in Beijing time, 小寒 to 冬至;');
    lines.push('// terms 2k and 2k+1 fall in Gregorian month k+1.');
    lines.push('const std::array<SolarTermDays, kSolarTermYearCount> kSolarTermDays = {{');
    lines.push(...alignedRows(termYears.map((t) => [`    {${t.days.join(', ')}},`, t.year])));
    lines.push('}};');
    lines.push('');
    lines.push('}  // namespace lunar::data');
    lines.push('');
    fs.writeFileSync(TABLE_FILE, lines.join('\n'));
}

function writeReference(lunarYears, terms) {
    const lines = [];
    lines.push('# Reference for tests/unit/lunar, generated by tools/lunar/generate.js from lunar-javascript ' +
        libVersion + ',');
    lines.push('# read one day at a time. Lunar years ' + FIRST_LUNAR_YEAR + '-' + LAST_YEAR +
        ' (they cover ' + FIRST_YEAR + '-01-01 to ' + LAST_YEAR + '-12-31), one a line:');
    lines.push('#   Y <lunar year> <Gregorian date of 正月初一, YYYYMMDD> <leap month, 0 = none> <days of each month in order>');
    lines.push('# Solar terms in Beijing time, one Gregorian year a line:');
    lines.push('#   T <year> <day of month of each term, 小寒 to 冬至; terms 2k and 2k+1 fall in month k+1>');
    for (const y of lunarYears) {
        lines.push(`Y ${y.year} ${y.start} ${y.leap} ${y.months.map((m) => m.length).join(' ')}`);
    }
    for (const [year, days] of terms) {
        lines.push(`T ${year} ${days.join(' ')}`);
    }
    lines.push('');
    fs.writeFileSync(REFERENCE_FILE, lines.join('\n'));
}

// ---- Main ---------------------------------------------------------------------------------

function main() {
    const years = [];
    for (let y = FIRST_LUNAR_YEAR; y <= LAST_YEAR; y++) years.push(lunarYearInfo(y));
    for (let i = 1; i < years.length; i++) {
        const prev = years[i - 1];
        const start = Solar.fromYmd(prev.year, prev.month, prev.day);
        const end = start.next(prev.lengths.reduce((a, b) => a + b, 0));
        if (end.getMonth() !== years[i].month || end.getDay() !== years[i].day) {
            fail(`lunar year ${prev.year} does not end where ${years[i].year} begins`);
        }
    }
    const termYears = [];
    for (let y = FIRST_YEAR; y <= LAST_YEAR; y++) {
        termYears.push({ year: y, days: termsOfYear(y).map((t) => t.solar.getDay()) });
    }

    const { byYear: dayYears, terms, count } = dayByDay(years);
    if (count !== 73049) fail(`walked ${count} days`);
    if (terms.size !== LAST_YEAR - FIRST_YEAR + 1) fail('some years have no terms');

    // The two views must agree before either is written.
    if (dayYears.length !== years.length) fail(`day view has ${dayYears.length} lunar years`);
    years.forEach((info, k) => {
        const d = dayYears[k];
        const start = pad(info.year, 4) + pad(info.month, 2) + pad(info.day, 2);
        if (d.year !== info.year || d.start !== start || d.leap !== info.leap) {
            fail(`lunar year ${info.year}: table ${start}/${info.leap}, days ${d.start}/${d.leap}`);
        }
        const labels = d.months.map((m) => (m.leap ? -m.month : m.month));
        const expected = info.lengths.map((_, i) =>
            info.leap !== 0 && i === info.leap ? -info.leap : (info.leap !== 0 && i > info.leap ? i : i + 1));
        if (labels.join(',') !== expected.join(',')) fail(`lunar year ${info.year}: months ${labels}`);
        if (d.months.map((m) => m.length).join(',') !== info.lengths.join(',')) {
            fail(`lunar year ${info.year}: month lengths differ`);
        }
    });
    for (const t of termYears) {
        const days = terms.get(t.year);
        if (days.join(',') !== t.days.join(',')) fail(`terms of ${t.year} differ between the two views`);
    }

    writeTable(years, termYears);
    writeReference(dayYears, terms);
    const monthCount = years.reduce((n, y) => n + y.lengths.length, 0);
    console.log(`lunar-javascript ${libVersion}: ${years.length} lunar years, ${monthCount} months, ` +
        `${count} days, ${termYears.length * 24} solar terms`);
}

main();
