-- Second database of the example report: the company's documents and articles.
CREATE TABLE ARTIGO (Artigo TEXT PRIMARY KEY, Descricao TEXT, PVP1 REAL);
CREATE TABLE DOCGCLIN (TipoDoc TEXT, Serie TEXT, NumDoc INTEGER, Artigo TEXT,
                       Quantidade REAL, PrecUnit REAL);
INSERT INTO ARTIGO VALUES ('A1', 'Parafuso', 0.1), ('A2', 'Porca', 0.05);
INSERT INTO DOCGCLIN VALUES ('FA', 'A', 1, 'A1', 100, 0.1), ('FA', 'B', 1, 'A2', 40, 0.05);
