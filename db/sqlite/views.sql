-- The stored queries of the portfolio summary. Run after schema.sql on a new archive; the
-- program runs it on an archive whose views are older (qryVersioneViste below) when it
-- opens it for writing (views hold no data, so replacing them loses nothing). By hand:
--     sqlite3 Quotaplan.mdb < db/sqlite/views.sql
-- The views read today's date from qp_today(), a function the program registers on its
-- connection (tests fix it); outside the program they cannot be queried.

BEGIN IMMEDIATE;

DROP VIEW IF EXISTS qryVersioneViste;
DROP VIEW IF EXISTS qryRTxMedioPonderato;
DROP VIEW IF EXISTS qryRDebResTotale;
DROP VIEW IF EXISTS qryRLeaMese;
DROP VIEW IF EXISTS qryDebitoResOggi;

-- Each contract's residual debt today: the debt left by the line written last (highest ID)
-- on its last plan day on or before today. The lines of a day are written in the order they
-- settle (the maxi-instalment before the first instalment, the last instalment before the
-- buy-out), so a finished contract leaves its buy-out line's 0 even when its last
-- instalment drifted a cent below zero. Null for a contract whose plan has not started.
-- One seek in idxPDALeasingData, whose order (date, then ID) puts that line first.
CREATE VIEW qryDebitoResOggi AS
SELECT c.ID AS ID,
       c.Tasso AS Tasso,
       c.Spread AS Spread,
       (SELECT p.DebitoRes FROM tabPDA AS p
         WHERE p.[ID Leasing] = c.ID AND p.Data <= qp_today()
         ORDER BY p.Data DESC, p.ID DESC LIMIT 1) AS DebitoRes
FROM tabContratti AS c;

-- Each contract's residual debt is computed once, not once per use: the subquery's LIMIT
-- keeps SQLite from copying it into the three places that read it, and its rows go straight
-- to the sums (a co-routine) without being stored first.
CREATE VIEW qryRTxMedioPonderato AS
SELECT COALESCE(SUM((COALESCE(Tasso, 0) + COALESCE(Spread, 0)) * DebitoRes)
                / NULLIF(SUM(DebitoRes), 0), 0) AS TXMePo
FROM (SELECT Tasso, Spread, DebitoRes FROM qryDebitoResOggi LIMIT -1) AS debito
WHERE DebitoRes > 0;

CREATE VIEW qryRDebResTotale AS
SELECT ROUND(COALESCE(SUM(DebitoRes), 0), 2) AS SommaDiDebitoRes
FROM qryDebitoResOggi;

-- Half-open range on the bare column, so that each contract's lines of the month are one
-- seek in idxPDALeasingData. The contract's ID comes last, after the three columns the Stato
-- page shows.
CREATE VIEW qryRLeaMese AS
SELECT c.DescBene AS DescBene, p.Data AS Data, p.Importo AS Importo, c.ID AS ID
FROM tabContratti AS c INNER JOIN tabPDA AS p ON p.[ID Leasing] = c.ID
WHERE p.Tipo = 'Rata'
  AND p.Data >= date(qp_today(), 'start of month')
  AND p.Data < date(qp_today(), 'start of month', '+1 month')
ORDER BY p.Data, c.DescBene, p.ID;

-- The version of these views (kSummaryViewsVersion in src/data/archive_views.h): raise it
-- there, here and in db/postgresql/views.sql with any change to the views.
CREATE VIEW qryVersioneViste AS SELECT 2 AS Versione;

COMMIT;
