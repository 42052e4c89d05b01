-- Second database of the example report: the company's documents and articles.
CREATE TABLE ARTIGO (Artigo TEXT PRIMARY KEY, Descricao TEXT, PVP1 REAL);
CREATE TABLE DOCGCLIN (TipoDoc TEXT, Serie TEXT, NumDoc INTEGER, Artigo TEXT,
                       Quantidade REAL, PrecUnit REAL, Data TEXT);
INSERT INTO ARTIGO VALUES ('A1', 'Parafuso', 0.1), ('A2', 'Porca', 0.05),
    ('A3', 'Água mineral 1,5 L', 0.45), ('A4', 'Pão de forma', 1.6),
    ('A5', 'Açúcar 1 kg', 1.15);
-- Lines of July 2026 in series A and B, and one line on each side of the month.
INSERT INTO DOCGCLIN VALUES
    ('FA', 'A', 1, 'A1', 100, 0.1, '2026-07-02'),
    ('FA', 'B', 1, 'A2', 40, 0.05, '2026-07-03'),
    ('FA', 'A', 2, 'A3', 24, 0.45, '2026-07-10'),
    ('FA', 'A', 3, 'A4', 6, 1.6, '2026-07-21'),
    ('FA', 'B', 2, 'A5', 12, 1.15, '2026-07-28'),
    ('FA', 'A', 4, 'A5', 3, 1.15, '2026-07-31'),
    ('FA', 'A', 9, 'A4', 50, 1.6, '2026-06-30'),
    ('FA', 'A', 10, 'A3', 80, 0.45, '2026-08-01');
