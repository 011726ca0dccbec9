// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/Commands.h"

#include <array>

namespace tallyfin::cli {

namespace {

// One row per subcommand; its run function lives in a file of its own.
const std::array commandTable{
    Command{
        u"decode",
        u"Decode data values of a bike, rower, treadmill or crossTrainer, or a strap's heartRate "
        u"values, into one record (JSON)",
        u"MACHINE VALUE...", &runDecode},
    Command{u"features", u"Decode a Fitness Machine Feature value into its flags (JSON)", u"VALUE",
            &runFeatures},
    Command{u"signal",
            u"Send one analytics signal (with --session: as a session begins, like the overlay) "
            u"and report whether it was delivered (JSON); what is not delivered is kept for the "
            u"next run, also when stopped by signal N (exit status 128+N)",
            u"--app-id ID [--base-url URL] [--namespace NS] [--test-mode] [--session] NAME "
            u"[KEY=VALUE...]",
            &runSignal},
    Command{u"monitor",
            u"Connect to a machine and print one JSON line per live metrics update (status on "
            u"stderr); a machine lost on its own is connected again when heard within 5 minutes; "
            u"with --record, record the workout as the overlay does and write it to FILE at the "
            u"end (.fit, .tcx or .csv)",
            u"[--demo] [--name SUBSTRING] [--seconds N] [--log FILE] [--record FILE]", &runMonitor},
    Command{u"replay",
            u"Decode the value lines of a copied diagnostic log into records (JSON per line)",
            u"LOGFILE|-", &runReplay},
    Command{u"export",
            u"Write the workout in a journal, or in a diagnostic log copied from the overlay (of "
            u"the day --date names), as FIT, TCX or CSV (by the extension of FILE); prints its "
            u"summary (JSON)",
            u"INPUT|- --to FILE [--date YYYY-MM-DD]", &runExport},
};

} // namespace

std::span<const Command> commands() {
    return commandTable;
}

} // namespace tallyfin::cli
