-- The contract archive of Quotaplan: an SQLite file that keeps the names and column
-- order of the original Access archive. Declared types carry the Jet type names so that
-- readers can tell a date from a text: INTEGER/LONG (32-bit), SINGLE, CURRENCY, DATE
-- (ISO text 'YYYY-MM-DD'), YESNO (-1/0), BYTE, TEXT. The build makes the default archive
-- from this file and seed.sql; the program itself only brings an archive of an older
-- version up to this schema (UpgradeArchive in src/data/archive_upgrade.cpp: the columns
-- tabContratti.Centesimo and ChiaveDescBene, supTipologia.CategoriaUsura and
-- PenaleEstinzione, the tables tabSoglieUsura, tabEventi and tabEventiPDA; then the expert
-- review's tabContratti.TassoMora and SpreadMora, tabSoglieUsura.MaggiorazioneMora and the
-- tables tabPianoBanca and tabTassiLegali).
--
-- Text columns compared by "=" use NOCASE: the program replaces it on its connection with
-- a comparison that also folds accented letters ("È" = "è"), as the Jet engine did.
-- The summary views are in views.sql, which can also bring an existing archive's views
-- up to date.

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
    IntRiscatto YESNO NOT NULL DEFAULT 0,   -- 44
    Centesimo YESNO NOT NULL DEFAULT 0,     -- 45: the plan to the cent (older archives lack it)
    ChiaveDescBene TEXT,                    -- 46: the name's key (older archives lack it)
    TassoMora DOUBLE,                       -- 47: default-interest rate in percent (Null: none)
    SpreadMora DOUBLE                       -- 48: or points over the contract's rate
);
-- (No comma in the comments of the last columns: SQLite's DROP COLUMN, which an older
-- version's tests use to remake an archive, looks back for the comma before a column.)
CREATE INDEX idxContrattiTipologia ON tabContratti ([ID Tipologia]);
-- ChiaveDescBene is the description's key, computed by the program (NameKey in
-- src/common/name_key.h: letter case, accents, compatibility forms and blanks aside), the
-- same on both engines: one key, one contract, even for writers that bypass the program.
-- Names that were equal under the key before it existed keep keys made distinct by the
-- contract's ID (the key, a tab, the ID).
CREATE UNIQUE INDEX idxContrattiChiaveDescBene ON tabContratti (ChiaveDescBene);

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
-- One contract's plan in date order, the lines of a day in the order written: the rate
-- list, and the summary views, which seek it once per contract for the residual debt today
-- and for the month's instalments and find every column they read in it. It is the only
-- index of the table, so a saved plan adds its lines at one place instead of scattering
-- them over a date-first index (hundreds of pages written per save).
CREATE INDEX idxPDALeasingData ON tabPDA ([ID Leasing], Data, ID, DebitoRes, Tipo, Importo);

-- CategoriaUsura: the category of tabSoglieUsura the type's contracts are judged by; Null
-- when none. PenaleEstinzione: the early-repayment penalty of the type's contracts, as the
-- calculator's --penalty writes it: 'consumer' (art. 125-sexies TUB), 'home' (art. 120-ter
-- TUB: none), 'none', or a contractual percentage ('0.5' is 0,5 %); Null is 'none'.
CREATE TABLE supTipologia (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Descrizione TEXT COLLATE NOCASE,
    CategoriaUsura TEXT COLLATE NOCASE,
    PenaleEstinzione TEXT
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

-- The quarterly table of the usury law: the average effective global rate (TEGM, percent)
-- of a category of credit and a class of amounts (above ImportoDa, up to ImportoA; Null:
-- no bound) over a quarter (Dal to Al; Al Null: still in force). Filled by the user from
-- the official decree: the program ships no figures.
CREATE TABLE tabSoglieUsura (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Categoria TEXT COLLATE NOCASE NOT NULL,
    ImportoDa CURRENCY,
    ImportoA CURRENCY,
    Dal DATE NOT NULL,
    Al DATE,
    TEGM DOUBLE NOT NULL,
    MaggiorazioneMora DOUBLE  -- the decree's default-interest surcharge, points; Null: not given
);
CREATE INDEX idxSoglieUsura ON tabSoglieUsura (Categoria, Dal);

-- The dated events of a contract after it was signed, in the order recorded: "Estinzione"
-- (the payoff) and "Rimborso parziale" (a partial prepayment). tabContratti keeps the terms
-- as signed; tabPDA holds the current plan, whose lines from each event's date on the event
-- wrote. Importo is what the client paid with the event (the payoff's total, the capital
-- prepaid), Penale its penalty, Rimborso the up-front costs refunded; Opzioni the options it
-- was recorded with ("key=value" pairs separated by ";": metodo, tasso, penale, rimborso,
-- costi, effetto); RigheScritte the number of plan lines it wrote, the last ones of the
-- contract's plan while it is the latest event.
CREATE TABLE tabEventi (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    [ID Leasing] LONG NOT NULL,
    Data DATE NOT NULL,
    Tipo TEXT NOT NULL,
    Importo CURRENCY,
    Penale CURRENCY,
    Rimborso CURRENCY,
    Opzioni TEXT,
    Note TEXT,
    RigheScritte LONG NOT NULL DEFAULT 0
);
CREATE INDEX idxEventiLeasing ON tabEventi ([ID Leasing], Data, ID);

-- The plan lines each event replaced, as tabPDA held them, in their order: removing the
-- latest event puts them back.
CREATE TABLE tabEventiPDA (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    [ID Evento] LONG NOT NULL,
    Tipo TEXT,
    Data DATE,
    Tasso SINGLE,
    Importo CURRENCY,
    QInteressi CURRENCY,
    QCapitale CURRENCY,
    DebitoRes CURRENCY
);
CREATE INDEX idxEventiPDAEvento ON tabEventiPDA ([ID Evento], ID);
-- A bank's plan of a contract, imported for an expert review: one row an instalment as the
-- bank's file gives it (any figure may be Null: the file lacked that column).
CREATE TABLE tabPianoBanca (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    [ID Leasing] LONG NOT NULL,
    Numero LONG,
    Data DATE,
    Importo CURRENCY,
    QCapitale CURRENCY,
    QInteressi CURRENCY,
    DebitoRes CURRENCY
);
CREATE INDEX idxPianoBanca ON tabPianoBanca ([ID Leasing], ID);

-- The legal interest rate (art. 1284 c.c.) period by period (Al Null: still in force), as
-- the user imports it: the program ships no figures.
CREATE TABLE tabTassiLegali (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Dal DATE NOT NULL,
    Al DATE,
    Tasso DOUBLE NOT NULL
);

COMMIT;
