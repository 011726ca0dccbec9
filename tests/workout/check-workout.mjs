// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
//
// Reads a FIT file we wrote with two readers written elsewhere, the FIT SDK's decoder and
// fit-file-parser, and checks both against the CSV written from the same workout: the SDK's
// integrity check and error list, the record count, every record's values, the timer events
// around pauses, sport and sub-sport, and the session's totals and averages. With a TCX file, a
// third reader (sports-lib) checks its points, totals and averages against the same CSV.
//
//   node check-workout.mjs FILE.fit FILE.csv SPORT SUB_SPORT [FILE.tcx]
//                                                  (SDK names: cycling indoorCycling)
//
// The readers come from scripts/workout-readers (TALLYFIN_NPM_CACHE or ~/.cache/tallyfin-npm).
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { homedir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [fitPath, csvPath, sport, subSport, tcxPath] = process.argv.slice(2);
const folder = process.env.TALLYFIN_NPM_CACHE || join(homedir(), '.cache', 'tallyfin-npm');
const problems = [];
const check = (ok, what) => { if (!ok) problems.push(what); };
const near = (a, b, tolerance, what) =>
    check(typeof a === 'number' && Math.abs(a - b) <= tolerance, `${what}: ${a} vs ${b}`);

async function load(name) {
    try {
        const require = createRequire(join(folder, 'package.json'));
        return await import(pathToFileURL(require.resolve(name)).href);
    } catch (error) {
        console.error(`check-workout: the FIT reader ${name} is missing in ${folder}: run scripts/workout-readers (${error.message})`);
        process.exit(1);
    }
}

// The CSV: one row a second.
const [header, ...lines] = readFileSync(csvPath, 'utf8').trim().split('\n');
const columns = header.split(',');
const rows = lines.map(line => Object.fromEntries(line.split(',').map((v, i) => [columns[i], v])));
const number = (row, column) => Number(row[column]);
const mean = values => values.reduce((a, b) => a + b, 0) / values.length;
const gaps = rows.slice(1).map((row, i) => number(row, 'elapsed_s') - number(rows[i], 'elapsed_s'));
const moving = gaps.filter(g => g <= 3).reduce((a, b) => a + b, 0);
const pauses = gaps.filter(g => g > 3).length;
const last = rows[rows.length - 1];
const heartRates = rows.filter(r => r.heart_rate_bpm !== '').map(r => number(r, 'heart_rate_bpm'));
const powers = rows.map(r => number(r, 'power_w'));
const expected = {
    records: rows.length,
    distance: number(last, 'distance_m'),
    elapsed: number(last, 'elapsed_s') - number(rows[0], 'elapsed_s'),
    moving,
    calories: number(last, 'calories_kcal'),
    avgPower: mean(powers),
    maxPower: Math.max(...powers),
    avgSpeed: mean(rows.map(r => number(r, 'speed_m_s'))),
    avgHeartRate: heartRates.length ? mean(heartRates) : undefined,
    maxHeartRate: heartRates.length ? Math.max(...heartRates) : undefined,
};
check(rows.length > 0, 'the CSV has rows');
const bytes = readFileSync(fitPath);

// The format owner's SDK.
const { Decoder, Stream } = await load('@garmin/fitsdk');
const decoder = new Decoder(Stream.fromBuffer(bytes));
check(decoder.isFIT(), 'SDK: isFIT');
check(decoder.checkIntegrity(), 'SDK: integrity check (header, sizes and both CRCs)');
const { messages, errors } = new Decoder(Stream.fromBuffer(bytes)).read();
check(errors.length === 0, `SDK: errors ${errors.map(e => e.message).join('; ')}`);
const records = messages.recordMesgs ?? [];
check(records.length === expected.records, `SDK: ${records.length} records, the CSV has ${expected.records} rows`);
records.forEach((record, i) => {
    const row = rows[i];
    if (!row || problems.length > 20) return;
    check(record.timestamp?.toISOString().replace('.000Z', 'Z') === row.time, `SDK record ${i}: time ${record.timestamp?.toISOString()} vs ${row.time}`);
    near(record.distance, number(row, 'distance_m'), 0.005, `SDK record ${i}: distance`);
    near(record.speed ?? record.enhancedSpeed, number(row, 'speed_m_s'), 0.0005, `SDK record ${i}: speed`);
    if (expected.maxPower > 0) near(record.power, number(row, 'power_w'), 0, `SDK record ${i}: power`);
    if (row.heart_rate_bpm !== '') near(record.heartRate, number(row, 'heart_rate_bpm'), 0, `SDK record ${i}: heart rate`);
});
const session = messages.sessionMesgs?.[0] ?? {};
check(messages.sessionMesgs?.length === 1 && messages.lapMesgs?.length === 1 && messages.activityMesgs?.length === 1,
      'SDK: one session, one lap, one activity');
check(messages.fileIdMesgs?.[0]?.type === 'activity', 'SDK: file type activity');
check(session.sport === sport && session.subSport === subSport, `SDK: sport ${session.sport}/${session.subSport}, expected ${sport}/${subSport}`);
near(session.totalDistance, expected.distance, 0.005, 'SDK session: distance');
near(session.totalElapsedTime, expected.elapsed, 0, 'SDK session: elapsed time');
near(session.totalTimerTime, expected.moving, 0, 'SDK session: timer time');
near(session.totalCalories, expected.calories, 0, 'SDK session: calories');
near(session.avgSpeed, expected.avgSpeed, 0.0006, 'SDK session: average speed');
if (expected.maxPower > 0) {
    near(session.avgPower, expected.avgPower, 0.5, 'SDK session: average power');
    near(session.maxPower, expected.maxPower, 0, 'SDK session: maximum power');
}
if (expected.avgHeartRate !== undefined) {
    near(session.avgHeartRate, expected.avgHeartRate, 0.5, 'SDK session: average heart rate');
    near(session.maxHeartRate, expected.maxHeartRate, 0, 'SDK session: maximum heart rate');
}
const timer = (messages.eventMesgs ?? []).filter(e => e.event === 'timer');
check(timer.filter(e => e.eventType === 'start').length === pauses + 1, `SDK: ${pauses + 1} timer starts expected`);
check(timer.filter(e => e.eventType === 'stopAll').length === pauses + 1, `SDK: ${pauses + 1} timer stops expected`);

// A second reader, written by others again.
const parserModule = await load('fit-file-parser');
const FitParser = parserModule.default?.default ?? parserModule.default;
const parsed = await new FitParser({ force: false, speedUnit: 'm/s', lengthUnit: 'm', mode: 'list' }).parseAsync(bytes);
check(parsed.records?.length === expected.records, `fit-file-parser: ${parsed.records?.length} records`);
const other = parsed.sessions?.[0] ?? {};
near(other.total_distance, expected.distance, 0.005, 'fit-file-parser session: distance');
near(other.total_timer_time, expected.moving, 0, 'fit-file-parser session: timer time');
near(other.avg_speed, expected.avgSpeed, 0.0006, 'fit-file-parser session: average speed');
if (expected.maxPower > 0) near(other.avg_power, expected.avgPower, 0.5, 'fit-file-parser session: average power');
if (expected.avgHeartRate !== undefined) near(other.avg_heart_rate, expected.avgHeartRate, 0.5, 'fit-file-parser session: average heart rate');
near(mean(parsed.records.map(r => r.power ?? 0)), expected.avgPower, 0.001, 'fit-file-parser: mean of the records\' power');
near(parsed.records[parsed.records.length - 1]?.distance, expected.distance, 0.005, 'fit-file-parser: last record\'s distance');

if (tcxPath) {
    const { SportsLib } = await load('@sports-alliance/sports-lib');
    const { DOMParser } = await load('@xmldom/xmldom');
    const xml = new DOMParser().parseFromString(readFileSync(tcxPath, 'utf8'), 'application/xml');
    const event = await SportsLib.importFromTCX(xml);
    const stats = new Map([...event.getStats().values()].map(s => [s.getType(), s.getValue()]));
    const activity = event.getActivities()[0];
    const points = activity.getStreamData('Distance').filter(v => v !== null).length;
    check(points === expected.records, `sports-lib: ${points} TCX points, the CSV has ${expected.records} rows`);
    near(stats.get('Distance'), expected.distance, 0.01, 'sports-lib: distance');
    near(stats.get('Energy'), expected.calories, 0, 'sports-lib: calories');
    near(stats.get('Timer time'), expected.moving, 1, 'sports-lib: timer time');
    if (expected.maxPower > 0) {
        near(stats.get('Maximum Power'), expected.maxPower, 0, 'sports-lib: maximum power');
        near(stats.get('Average Power'), expected.avgPower, 0.5, 'sports-lib: average power');
    }
    if (expected.avgHeartRate !== undefined) near(stats.get('Average Heart Rate'), expected.avgHeartRate, 0.5, 'sports-lib: average heart rate');
}

if (problems.length) {
    console.error(`check-workout: ${fitPath} disagrees with ${csvPath}:\n  ${problems.join('\n  ')}`);
    process.exit(1);
}
console.log(`check-workout: ${fitPath}: ${records.length} records, ${pauses} pauses, the readers agree with the CSV`);
