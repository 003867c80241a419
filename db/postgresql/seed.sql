-- Lookup values of a new archive, as db/sqlite/seed.sql; no contracts.
BEGIN;

INSERT INTO "supTipologia" ("Descrizione") VALUES ('Leasing');
INSERT INTO "supTipologia" ("Descrizione", "PenaleEstinzione") VALUES ('Mutuo', 'home');
INSERT INTO "supTipologia" ("Descrizione", "PenaleEstinzione") VALUES ('Credito al consumo', 'consumer');

INSERT INTO "supTxRiferimento" ("Descrizione") VALUES ('Fisso');
INSERT INTO "supTxRiferimento" ("Descrizione") VALUES ('Euribor 1 mese');
INSERT INTO "supTxRiferimento" ("Descrizione") VALUES ('Euribor 3 mesi');
INSERT INTO "supTxRiferimento" ("Descrizione") VALUES ('Euribor 6 mesi');
INSERT INTO "supTxRiferimento" ("Descrizione") VALUES ('IRS 10 anni');

INSERT INTO "tabValTxRiferimento" ("ID TxRiferimento", "Data", "Valore") VALUES
    (1, '2023-01-01', 0),
    (2, '2023-01-02', 1.88), (2, '2023-07-03', 3.45), (2, '2024-01-02', 3.87),
    (3, '2023-01-02', 2.16), (3, '2023-07-03', 3.58), (3, '2024-01-02', 3.91),
    (4, '2023-01-02', 2.69), (4, '2023-07-03', 3.80), (4, '2024-01-02', 3.86),
    (5, '2023-01-02', 3.19), (5, '2023-07-03', 3.05), (5, '2024-01-02', 2.49);

COMMIT;
