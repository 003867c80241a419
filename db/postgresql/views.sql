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
CREATE VIEW "qryDebitoResOggi" AS
SELECT c."ID" AS "ID",
       c."Tasso" AS "Tasso",
       c."Spread" AS "Spread",
       (SELECT p."DebitoRes" FROM "tabPDA" AS p
         WHERE p."ID Leasing" = c."ID" AND p."Data" <= (SELECT qp_today())
         ORDER BY p."Data" DESC, p."ID" DESC LIMIT 1) AS "DebitoRes"
FROM "tabContratti" AS c;

CREATE VIEW "qryRTxMedioPonderato" AS
WITH debito AS MATERIALIZED (SELECT "Tasso", "Spread", "DebitoRes" FROM "qryDebitoResOggi")
SELECT COALESCE(SUM((COALESCE("Tasso", 0) + COALESCE("Spread", 0)) * "DebitoRes")
                / NULLIF(SUM("DebitoRes"), 0), 0)::double precision AS "TXMePo"
FROM debito
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
CREATE VIEW "qryVersioneViste" AS SELECT 1 AS "Versione";

COMMIT;
