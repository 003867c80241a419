-- The stored queries of the portfolio summary, as db/sqlite/views.sql defines them. Run
-- after schema.sql on a new archive; the program runs it on an archive whose views are
-- older ("qryVersioneViste" below) when it connects to it (views hold no data, so replacing
-- them loses nothing). By hand:
--     psql "postgresql://…/archivio" -f db/postgresql/views.sql
-- Today is the server's CURRENT_DATE, unless a connection sets quotaplan.today (the tests
-- fix their date so).

BEGIN;
-- The archive's writer lock, which every save takes: desks that connect at once replace
-- the views one after the other.
SELECT pg_advisory_xact_lock(491496844654);

DROP VIEW IF EXISTS "qryVersioneViste";
DROP VIEW IF EXISTS "qryRTxMedioPonderato";
DROP VIEW IF EXISTS "qryRDebResTotale";
DROP VIEW IF EXISTS "qryRLeaMese";
DROP VIEW IF EXISTS "qryDebitoResOggi";

CREATE OR REPLACE FUNCTION qp_today() RETURNS date LANGUAGE sql STABLE AS $$
    SELECT COALESCE(NULLIF(current_setting('quotaplan.today', true), '')::date, CURRENT_DATE)
$$;

-- Each contract's residual debt today: the debt left by the line written last (highest ID)
-- on its last plan day on or before today. Null for a contract whose plan has not started.
-- One seek in idxPDALeasingData, whose order (date, then ID) puts that line first. Today is
-- asked once per query ((SELECT qp_today())), not once per contract.
-- The seek looks first among the last 31 days, where a running contract of monthly
-- instalments always has its line (no two of them are further apart): the server then reads
-- one or two index entries instead of every earlier line of the contract on the index page.
-- Only a contract with no line in those days (ended, not started, or paid less often than
-- monthly) is sought again without the bound, which gives the same line as a single seek.
CREATE VIEW "qryDebitoResOggi" AS
SELECT c."ID" AS "ID",
       c."Tasso" AS "Tasso",
       c."Spread" AS "Spread",
       COALESCE(
           (SELECT p."DebitoRes" FROM "tabPDA" AS p
             WHERE p."ID Leasing" = c."ID" AND p."Data" <= (SELECT qp_today())
               AND p."Data" > (SELECT qp_today() - 31)
             ORDER BY p."Data" DESC, p."ID" DESC LIMIT 1),
           (SELECT p."DebitoRes" FROM "tabPDA" AS p
             WHERE p."ID Leasing" = c."ID" AND p."Data" <= (SELECT qp_today())
             ORDER BY p."Data" DESC, p."ID" DESC LIMIT 1)) AS "DebitoRes"
FROM "tabContratti" AS c;

-- Each contract's residual debt is computed once, not once per use: OFFSET 0 keeps the
-- planner from copying the subquery into the three places that read it.
CREATE VIEW "qryRTxMedioPonderato" AS
SELECT COALESCE(SUM((COALESCE("Tasso", 0) + COALESCE("Spread", 0)) * "DebitoRes")
                / NULLIF(SUM("DebitoRes"), 0), 0)::double precision AS "TXMePo"
FROM (SELECT "Tasso", "Spread", "DebitoRes" FROM "qryDebitoResOggi" OFFSET 0) AS debito
WHERE "DebitoRes" > 0;

CREATE VIEW "qryRDebResTotale" AS
SELECT ROUND(COALESCE(SUM("DebitoRes"), 0), 2) AS "SommaDiDebitoRes"
FROM "qryDebitoResOggi";

-- Half-open range on the bare column, so that each contract's lines of the month are one
-- seek in idxPDALeasingData. The contract's ID comes last, after the three columns the Stato
-- page shows.
CREATE VIEW "qryRLeaMese" AS
SELECT c."DescBene" AS "DescBene", p."Data" AS "Data", p."Importo" AS "Importo", c."ID" AS "ID"
FROM "tabContratti" AS c INNER JOIN "tabPDA" AS p ON p."ID Leasing" = c."ID"
WHERE p."Tipo" = 'Rata'
  AND p."Data" >= (SELECT date_trunc('month', qp_today())::date)
  AND p."Data" < (SELECT (date_trunc('month', qp_today()) + interval '1 month')::date)
ORDER BY p."Data", c."DescBene", p."ID";

-- The version of these views (kSummaryViewsVersion in src/data/archive_views.h): raise it
-- there, here and in db/sqlite/views.sql with any change to the views.
CREATE VIEW "qryVersioneViste" AS SELECT 2 AS "Versione";

COMMIT;
