-- The contract archive of Quotaplan: an SQLite file that keeps the names and column
-- order of the original Access archive. Declared types carry the Jet type names so that
-- readers can tell a date from a text: INTEGER/LONG (32-bit), SINGLE, CURRENCY, DATE
-- (ISO text 'YYYY-MM-DD'), YESNO (-1/0), BYTE, TEXT. The program never creates tables;
-- the build makes the default archive from this file and seed.sql.
--
-- Text columns compared by "=" use NOCASE: the program replaces it on its connection with
-- a comparison that also folds accented letters ("È" = "è"), as the Jet engine did.
-- The three summary views read today's date from qp_today(), a function the program
-- registers on its connection (tests fix it).

PRAGMA journal_mode = DELETE;

BEGIN;

-- Contracts are read by column position: each named column stands exactly at its place.
CREATE TABLE tabContratti (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,   --  1
    Codice TEXT,                            --  2
    Fornitore TEXT,                         --  3
    Banca TEXT,                             --  4
    Filiale TEXT,                           --  5
    [ID Tipologia] LONG,                    --  6
    NumContratto TEXT,                      --  7
    DataStipula DATE,                       --  8
    Intestatario TEXT,                      --  9
    Indirizzo TEXT,                         -- 10
    Citta TEXT,                             -- 11
    CAP TEXT,                               -- 12
    Provincia TEXT,                         -- 13
    PartitaIVA TEXT,                        -- 14
    Telefono TEXT,                          -- 15
    Fax TEXT,                               -- 16
    Email TEXT,                             -- 17
    Referente TEXT,                         -- 18
    Categoria TEXT,                         -- 19
    Targa TEXT,                             -- 20
    Matricola TEXT,                         -- 21
    DescBene TEXT COLLATE NOCASE,           -- 22
    Valore CURRENCY,                        -- 23
    Maxicanone CURRENCY,                    -- 24
    Riscatto CURRENCY,                      -- 25
    Periodicita INTEGER,                    -- 26
    NumRate INTEGER,                        -- 27
    DataContratto DATE,                     -- 28
    DataFine DATE,                          -- 29
    DataInizio DATE,                        -- 30
    Tasso SINGLE,                           -- 31
    [ID TassoRif] LONG,                     -- 32
    Spread SINGLE,                          -- 33
    TassoEffettivo SINGLE,                  -- 34
    Anticipato YESNO NOT NULL DEFAULT 0,    -- 35
    Semplice YESNO NOT NULL DEFAULT 0,      -- 36
    Assicurazione YESNO NOT NULL DEFAULT 0, -- 37
    Chiuso YESNO NOT NULL DEFAULT 0,        -- 38
    Indicizzato YESNO NOT NULL DEFAULT 0,   -- 39
    Note TEXT,                              -- 40
    SpeseContratto CURRENCY,                -- 41
    SpeseAddebito CURRENCY,                 -- 42
    DataRiscatto DATE,                      -- 43
    IntRiscatto YESNO NOT NULL DEFAULT 0    -- 44
);
CREATE INDEX idxContrattiTipologia ON tabContratti ([ID Tipologia]);

CREATE TABLE tabPDA (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    [ID Leasing] LONG NOT NULL,
    Tipo TEXT,
    Data DATE,
    Tasso SINGLE,
    Importo CURRENCY,
    QInteressi CURRENCY,
    QCapitale CURRENCY,
    DebitoRes CURRENCY
);
-- One contract's plan in date order (rate list, residual debt today), and the month's
-- instalments across all contracts; both cover their queries, so the scattered plan rows
-- themselves are not read.
CREATE INDEX idxPDALeasingData ON tabPDA ([ID Leasing], Data, DebitoRes);
CREATE INDEX idxPDAData ON tabPDA (Data, Tipo, [ID Leasing], Importo);

CREATE TABLE supTipologia (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Descrizione TEXT COLLATE NOCASE
);

CREATE TABLE supTxRiferimento (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Descrizione TEXT COLLATE NOCASE
);

CREATE TABLE tabValTxRiferimento (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    [ID TxRiferimento] LONG NOT NULL,
    Data DATE,
    Valore SINGLE
);
CREATE INDEX idxValTxRiferimento ON tabValTxRiferimento ([ID TxRiferimento], Data);

-- Each contract's residual debt today: the debt left after its last plan day on or before
-- today, that is the smallest DebitoRes of that day (a day's later line leaves less debt:
-- the first instalment after the maxi-instalment, the buy-out after the last instalment).
-- Null for a contract whose plan has not started. Both look-ups are seeks in
-- idxPDALeasingData, which covers them.
CREATE VIEW qryDebitoResOggi AS
SELECT c.ID AS ID,
       c.Tasso AS Tasso,
       c.Spread AS Spread,
       (SELECT MIN(p.DebitoRes) FROM tabPDA AS p
         WHERE p.[ID Leasing] = c.ID
           AND p.Data = (SELECT MAX(q.Data) FROM tabPDA AS q
                          WHERE q.[ID Leasing] = c.ID AND q.Data <= qp_today())) AS DebitoRes
FROM tabContratti AS c;

-- The residual debts are computed once per query (MATERIALIZED), not once per use.
CREATE VIEW qryRTxMedioPonderato AS
WITH debito AS MATERIALIZED (SELECT Tasso, Spread, DebitoRes FROM qryDebitoResOggi)
SELECT COALESCE(SUM((COALESCE(Tasso, 0) + COALESCE(Spread, 0)) * DebitoRes)
                / NULLIF(SUM(DebitoRes), 0), 0) AS TXMePo
FROM debito
WHERE DebitoRes > 0;

CREATE VIEW qryRDebResTotale AS
SELECT ROUND(COALESCE(SUM(DebitoRes), 0), 2) AS SommaDiDebitoRes
FROM qryDebitoResOggi;

-- Half-open range on the bare column, so that idxPDAData serves it.
CREATE VIEW qryRLeaMese AS
SELECT c.DescBene AS DescBene, p.Data AS Data, p.Importo AS Importo
FROM tabPDA AS p INNER JOIN tabContratti AS c ON c.ID = p.[ID Leasing]
WHERE p.Tipo = 'Rata'
  AND p.Data >= date(qp_today(), 'start of month')
  AND p.Data < date(qp_today(), 'start of month', '+1 month')
ORDER BY p.Data, c.DescBene, p.ID;

COMMIT;
