-- Main database of the example report: the maker's own tables (tlk...).
CREATE TABLE tlkEmpresa (Codigo TEXT PRIMARY KEY, Nome TEXT);
INSERT INTO tlkEmpresa VALUES ('DEMO', 'Empresa de demonstração');
