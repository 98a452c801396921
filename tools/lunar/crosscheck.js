#!/usr/bin/env node
// Cross-checks lunar-javascript, the source of src/lunar's table, before trusting it:
//   1. the hard cases every Chinese calendar has to get right;
//   2. every month start and every solar term against date-chinese (astronomia, Meeus/VSOP87);
//   3. every month start against tyme4ts (6tail's newer library, a separate code base);
//   4. every month start and solar term against the calendar rules of GB/T 33661-2017 applied
//      to new moons and solar longitudes from astronomy-engine (Beijing time, UTC+8; the month
//      holding the winter solstice is month 11; in a year of 13 months the first month without
//      a principal term is the leap month).
// Each disagreement is printed with how far the deciding event lies from midnight, Beijing time,
// which tells a rounding question apart from a real fault.
//
// Usage: npm ci && node crosscheck.js     (takes a minute or two; exits 1 on a failed hard case)

'use strict';

const { Solar, LunarYear } = require('lunar-javascript');
const { CalendarChinese } = require('date-chinese');
const tyme = require('tyme4ts');
const Astronomy = require('astronomy-engine');

const FIRST_YEAR = 1901;
const LAST_YEAR = 2100;
const DAY_MS = 86400000;
const BEIJING_MS = 8 * 3600000;
const ICU_MONTHS = new Set([1917, 1922, 1954, 1955, 1987, 1999, 2012, 2018, 2027, 2030, 2070]);
const TERM_NAMES = [
    '小寒', '大寒', '立春', '雨水', '惊蛰', '春分', '清明', '谷雨', '立夏', '小满', '芒种', '夏至',
    '小暑', '大暑', '立秋', '处暑', '白露', '秋分', '寒露', '霜降', '立冬', '小雪', '大雪', '冬至',
];
const versions = ['lunar-javascript', 'date-chinese', 'tyme4ts', 'astronomy-engine']
    .map((n) => `${n} ${require(require('path').join(__dirname, 'node_modules', n, 'package.json')).version}`)
    .join(', ');

// Days since 1970-01-01 for a Gregorian date, and back.
const dayNumber = (y, m, d) => Math.round(Date.UTC(y, m - 1, d) / DAY_MS);
function fromDayNumber(n) {
    const t = new Date(n * DAY_MS);
    return { y: t.getUTCFullYear(), m: t.getUTCMonth() + 1, d: t.getUTCDate() };
}
const fmt = (n) => {
    const { y, m, d } = fromDayNumber(n);
    return `${y}-${String(m).padStart(2, '0')}-${String(d).padStart(2, '0')}`;
};
// "2.3 min after midnight" / "4.0 min before midnight", Beijing time.
const nearMidnight = (event) => `${Math.abs(event.minutesFromMidnight).toFixed(1)} min ` +
    `${event.minutesFromMidnight >= 0 ? 'after' : 'before'} midnight`;
const label = (month, leap) => (leap ? '闰' : '') + month;

// ---- lunar-javascript: month starts ------------------------------------------------------

function referenceMonths() {
    const months = []; // {start (day number), year, month, leap}
    for (let y = FIRST_YEAR - 1; y <= LAST_YEAR; y++) {
        for (const m of LunarYear.fromYear(y).getMonths()) {
            if (m.getYear() !== y) continue;
            const s = Solar.fromJulianDay(m.getFirstJulianDay());
            months.push({
                start: dayNumber(s.getYear(), s.getMonth(), s.getDay()),
                year: y, month: Math.abs(m.getMonth()), leap: m.getMonth() < 0,
            });
        }
    }
    return months;
}

function referenceTerms() {
    const terms = new Map(); // 'Y-i' -> day number
    let s = Solar.fromYmd(FIRST_YEAR, 1, 1);
    while (s.getYear() <= LAST_YEAR) {
        const name = s.getLunar().getJieQi();
        if (name) {
            const i = TERM_NAMES.indexOf({ DONG_ZHI: '冬至', XIAO_HAN: '小寒', DA_HAN: '大寒', LI_CHUN: '立春',
                YU_SHUI: '雨水', JING_ZHE: '惊蛰', DA_XUE: '大雪' }[name] || name);
            terms.set(`${s.getYear()}-${i}`, dayNumber(s.getYear(), s.getMonth(), s.getDay()));
        }
        s = s.next(1);
    }
    return terms;
}

// ---- astronomy-engine + the GB/T rules ---------------------------------------------------

// Beijing day number of an instant and its distance to the nearest Beijing midnight, in minutes.
function beijing(date) {
    const ms = date.getTime() + BEIJING_MS;
    const day = Math.floor(ms / DAY_MS);
    const into = (ms - day * DAY_MS) / 60000;
    return { day, minutesFromMidnight: Math.min(into, 1440 - into) * (into < 720 ? 1 : -1) };
}

function astronomicalCalendar() {
    // New moons from late 1899 to early 2102.
    const moons = [];
    let t = new Date(Date.UTC(1899, 10, 1));
    for (;;) {
        const nm = Astronomy.SearchMoonPhase(0, t, 40);
        if (nm.date.getUTCFullYear() > 2101 && nm.date.getUTCMonth() > 2) break;
        moons.push({ date: nm.date, ...beijing(nm.date) });
        t = new Date(nm.date.getTime() + 20 * DAY_MS);
    }
    // Principal terms (中气, longitude multiple of 30) and all 24 terms.
    const terms = []; // {lon, date, day, minutesFromMidnight}
    for (let y = 1899; y <= 2102; y++) {
        let from = new Date(Date.UTC(y, 0, 1));
        for (let k = 0; k < 24; k++) {
            const lon = (285 + 15 * k) % 360; // 小寒 is at 285°
            const hit = Astronomy.SearchSunLongitude(lon, from, 40);
            terms.push({ year: y, index: k, lon, date: hit.date, ...beijing(hit.date) });
            from = new Date(hit.date.getTime() + 10 * DAY_MS);
        }
    }
    const principal = terms.filter((x) => x.lon % 30 === 0);
    const solstices = terms.filter((x) => x.lon === 270);

    // Index of the month (by new moon) holding a given Beijing day.
    const monthOf = (day) => {
        let i = moons.length - 1;
        while (moons[i].day > day) i--;
        return i;
    };
    const months = []; // {start, year, month, leap, moon}
    for (let y = 1900; y <= 2101; y++) {
        const ws0 = solstices.find((s) => s.year === y - 1);
        const ws1 = solstices.find((s) => s.year === y);
        const a = monthOf(ws0.day); // month 11 of the previous year
        const b = monthOf(ws1.day); // month 11 of this year
        const count = b - a;
        let leapAt = -1;
        if (count === 13) {
            for (let i = a + 1; i < b; i++) {
                const has = principal.some((p) => p.day >= moons[i].day && p.day < moons[i + 1].day);
                if (!has) { leapAt = i; break; }
            }
        } else if (count !== 12) {
            throw new Error(`${count} months between the solstices of ${y - 1} and ${y}`);
        }
        let number = 11;
        let year = y - 1; // months 11 and 12 (and their leap months) close the previous lunar year
        for (let i = a + 1; i <= b; i++) {
            const leap = i === leapAt;
            if (!leap) number = number % 12 + 1;
            if (number === 1 && !leap) year = y;
            months.push({ start: moons[i].day, year, month: number, leap, moon: moons[i] });
        }
    }
    return { months, terms, principal };
}

// ---- Comparisons -------------------------------------------------------------------------

function main() {
    let hardFailures = 0;
    const lj = (y, m, d) => Solar.fromYmd(y, m, d).getLunar();
    const hard = [
        ['1954 new year on 02-03', () => lj(1954, 2, 3).getMonth() === 1 && lj(1954, 2, 3).getDay() === 1],
        ['2026 new year on 02-17', () => lj(2026, 2, 17).getMonth() === 1 && lj(2026, 2, 17).getDay() === 1],
        ['2033 leap month 11', () => LunarYear.fromYear(2033).getLeapMonth() === 11],
        ['2023 leap month 2', () => LunarYear.fromYear(2023).getLeapMonth() === 2],
        ['2020 leap month 4', () => LunarYear.fromYear(2020).getLeapMonth() === 4],
        ['2034 has no leap month', () => LunarYear.fromYear(2034).getLeapMonth() === 0],
        ['2026-12-10 is 丙午年冬月初二', () => lj(2026, 12, 10).toString() === '二〇二六年冬月初二' &&
            lj(2026, 12, 10).getYearInGanZhi() === '丙午'],
    ];
    console.log(`Versions: ${versions}\n\nHard cases (lunar-javascript):`);
    for (const [name, check] of hard) {
        const ok = check();
        if (!ok) hardFailures++;
        console.log(`  ${ok ? 'ok  ' : 'FAIL'} ${name}`);
    }

    const ref = referenceMonths();
    const refTerms = referenceTerms();
    const lo = dayNumber(FIRST_YEAR, 1, 1);
    const hi = dayNumber(LAST_YEAR, 12, 31);
    const inRange = ref.filter((m) => m.start >= lo && m.start <= hi);
    console.log(`\n${inRange.length} month starts and ${refTerms.size} solar terms in ${FIRST_YEAR}-${LAST_YEAR}.`);

    // date-chinese and tyme4ts: the lunar date each gives on every reference month start.
    const others = {
        'date-chinese': (n) => {
            const { y, m, d } = fromDayNumber(n);
            const c = new CalendarChinese();
            c.fromGregorian(y, m, d);
            return { year: (c.cycle - 1) * 60 + c.year - 2637, month: c.month, leap: !!c.leap, day: c.day };
        },
        tyme4ts: (n) => {
            const { y, m, d } = fromDayNumber(n);
            const ld = tyme.SolarDay.fromYmd(y, m, d).getLunarDay();
            const lm = ld.getLunarMonth();
            return { year: lm.getYear(), month: lm.getMonth(), leap: lm.isLeap(), day: ld.getDay() };
        },
    };
    const astro = astronomicalCalendar();
    const astroByStart = new Map(astro.months.map((m) => [m.start, m]));
    const refByStart = new Map(ref.map((m) => [m.start, m]));
    const moonNear = (n) => astro.months.reduce((best, m) =>
        Math.abs(m.start - n) < Math.abs(best.start - n) ? m : best).moon;

    const yearsDisputed = new Set(); // Gregorian years with any month-start disagreement
    for (const [name, get] of Object.entries(others)) {
        const diffs = [];
        for (const m of inRange) {
            const o = get(m.start);
            if (o.day !== 1 || o.month !== m.month || o.leap !== m.leap || o.year !== m.year) {
                yearsDisputed.add(fromDayNumber(m.start).y);
                diffs.push(`  ${fmt(m.start)}: lunar-javascript ${m.year}/${label(m.month, m.leap)} day 1, ` +
                    `${name} ${o.year}/${label(o.month, o.leap)} day ${o.day}; new moon ${moonNear(m.start).date.toISOString()} ` +
                    `(${nearMidnight(moonNear(m.start))})` +
                    (ICU_MONTHS.has(fromDayNumber(m.start).y) ? ' [ICU probe year]' : ''));
            }
        }
        console.log(`\n${name}: ${diffs.length} month starts disagree`);
        diffs.forEach((d) => console.log(d));
    }

    // astronomy-engine with the GB/T rules, month by month both ways.
    const astroDiffs = [];
    for (const m of inRange) {
        const a = astroByStart.get(m.start);
        if (!a || a.month !== m.month || a.leap !== m.leap || a.year !== m.year) {
            yearsDisputed.add(fromDayNumber(m.start).y);
            const near = moonNear(m.start);
            astroDiffs.push(`  ${fmt(m.start)}: lunar-javascript starts ${m.year}/${label(m.month, m.leap)}; ` +
                (a ? `rules give ${a.year}/${label(a.month, a.leap)}` : `rules start a month on ${fmt(near.day)}`) +
                `; new moon ${near.date.toISOString()} (${nearMidnight(near)})` +
                (ICU_MONTHS.has(fromDayNumber(m.start).y) ? ' [ICU probe year]' : ''));
        }
    }
    for (const a of astro.months) {
        if (a.start >= lo && a.start <= hi && !refByStart.has(a.start)) {
            astroDiffs.push(`  ${fmt(a.start)}: rules start ${a.year}/${label(a.month, a.leap)} here, ` +
                `lunar-javascript does not; new moon ${a.moon.date.toISOString()} ` +
                `(${nearMidnight(a.moon)})`);
        }
    }
    console.log(`\nastronomy-engine + GB/T rules: ${astroDiffs.length} month disagreements`);
    astroDiffs.forEach((d) => console.log(d));

    // The years in which a general-purpose astronomical calendar (ICU) puts a month a day off.
    // What decides a month there is a new moon or a principal term close to midnight: show the
    // closest of each, and whether all sources here agree on every month start of the year.
    console.log('\nICU probe years: closest new moon and principal term to midnight');
    for (const year of ICU_MONTHS) {
        const closest = (list) => list.filter((e) => fromDayNumber(e.day).y === year)
            .reduce((best, e) => Math.abs(e.minutesFromMidnight) < Math.abs(best.minutesFromMidnight) ? e : best);
        const moon = closest(astro.months.map((m) => m.moon));
        const term = closest(astro.principal);
        console.log(`  ${year}: new moon on ${fmt(moon.day)} ${nearMidnight(moon)}, ` +
            `${TERM_NAMES[term.index]} on ${fmt(term.day)} ${nearMidnight(term)}; ` +
            (yearsDisputed.has(year) ? 'sources DISAGREE' : 'all sources agree on every month'));
    }

    // Solar terms against astronomy-engine and date-chinese.
    const termDiffs = [];
    const dc = new CalendarChinese();
    for (const t of astro.terms) {
        if (t.year < FIRST_YEAR || t.year > LAST_YEAR) continue;
        const r = refTerms.get(`${t.year}-${t.index}`);
        // date-chinese numbers terms from 立春 (1) with the 冬至 as term 24 (odd = 节, even = 中气).
        const n = (t.index + 22) % 24 + 1;
        const dcYear = t.index < 2 ? t.year - 1 : t.year;
        const dcDay = beijing(new Date((dc.solarTerm(n, dcYear) - 2440587.5) * DAY_MS)).day;
        if (r !== t.day || dcDay !== t.day) {
            termDiffs.push(`  ${t.year} ${TERM_NAMES[t.index]}: lunar-javascript ${fmt(r)}, astronomy-engine ` +
                `${t.date.toISOString()} (${fmt(t.day)}, ${nearMidnight(t)}), ` +
                `date-chinese ${fmt(dcDay)}`);
        }
    }
    console.log(`\nSolar terms: ${termDiffs.length} disagreements (date-chinese times are TT-based JDE)`);
    termDiffs.forEach((d) => console.log(d));

    process.exit(hardFailures ? 1 : 0);
}

main();
