#include "check/HistorySchema.h"

namespace friendlinks {

namespace {

// Version 1. Texts that repeat from check to check (sites, friend addresses,
// the packing dictionary) live once in a table of their own; a row is its
// check, its place in the check, its friend and its packed payload.
const char kVersion1[] = R"(
CREATE TABLE site (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE);
CREATE TABLE friend (
  id INTEGER PRIMARY KEY,
  address TEXT NOT NULL UNIQUE);
CREATE TABLE codec (
  id INTEGER PRIMARY KEY,
  dictionary BLOB NOT NULL UNIQUE);
CREATE TABLE check_run (
  id INTEGER PRIMARY KEY,
  site_id INTEGER NOT NULL REFERENCES site(id),
  mode TEXT NOT NULL,
  started_ms INTEGER NOT NULL,
  finished_ms INTEGER NOT NULL,
  program_version TEXT NOT NULL,
  codec_id INTEGER NOT NULL REFERENCES codec(id),
  outcome BLOB NOT NULL,
  row_count INTEGER NOT NULL);
CREATE INDEX check_run_by_site ON check_run(site_id, started_ms);
CREATE TABLE check_row (
  check_id INTEGER NOT NULL REFERENCES check_run(id),
  position INTEGER NOT NULL,
  friend_id INTEGER NOT NULL REFERENCES friend(id),
  payload BLOB NOT NULL,
  PRIMARY KEY (check_id, position)) WITHOUT ROWID;
CREATE INDEX check_row_by_friend ON check_row(friend_id, check_id);
)";

// Version 2. What lists of checks and a friend's line through time show, kept
// beside each check and row when it is recorded, so that they read no payload.
// red_cells is NULL for a check whose rows could not be read; the store fills
// the columns of the checks an older version recorded when it migrates.
const char kVersion2[] = R"(
ALTER TABLE check_run ADD COLUMN red_cells INTEGER;
ALTER TABLE check_run ADD COLUMN unreachable INTEGER NOT NULL DEFAULT 0;
ALTER TABLE check_run ADD COLUMN home_status INTEGER NOT NULL DEFAULT 0;
ALTER TABLE check_run ADD COLUMN changes INTEGER NOT NULL DEFAULT 0;
ALTER TABLE check_run ADD COLUMN worse INTEGER NOT NULL DEFAULT 0;
ALTER TABLE check_run ADD COLUMN better INTEGER NOT NULL DEFAULT 0;
ALTER TABLE check_run ADD COLUMN compared_id INTEGER;
ALTER TABLE check_row ADD COLUMN backlink INTEGER;
ALTER TABLE check_row ADD COLUMN follow INTEGER;
ALTER TABLE check_row ADD COLUMN pages INTEGER;
ALTER TABLE check_row ADD COLUMN rank INTEGER;
ALTER TABLE check_row ADD COLUMN status INTEGER;
)";

// Baidu's answers by query address and mode (the two modes read one page
// differently): the newest of each, what the row took from it (its Baidu cells
// and facts, as json) and when it was asked, so that a later check may use it
// instead of asking again.
const char kBaiduAnswers[] = R"(
CREATE TABLE baidu_answer (
  query TEXT NOT NULL,
  mode TEXT NOT NULL,
  asked_ms INTEGER NOT NULL,
  answer BLOB NOT NULL,
  PRIMARY KEY (query, mode)) WITHOUT ROWID;
)";

} // namespace

const QList<const char *> &historyMigrations()
{
    static const QList<const char *> steps{kVersion1, kVersion2, kBaiduAnswers};
    return steps;
}

} // namespace friendlinks
