/*
 * Tavim database: the contracts and the selectable procedure the monthly
 * listing reads. Run it against an existing dialect-1 database, e.g.
 *   isql-fb -user SYSDBA -password ... localhost:/path/tavim.fdb -i tools/tavim.sql
 * tavim-demo-db runs this same file when it creates a demo database.
 */
SET SQL DIALECT 1;

-- Texts are Windows-1252 whatever the database's default character set is.
CREATE TABLE CONTRATOS (
    ID           INTEGER NOT NULL PRIMARY KEY,
    PROPRIETARIO VARCHAR(50) CHARACTER SET WIN1252,
    IMOVEL       VARCHAR(90) CHARACTER SET WIN1252,
    INQUILINO    VARCHAR(50) CHARACTER SET WIN1252,
    ALUGUEL      DOUBLE PRECISION,
    TAXA_ADM     DOUBLE PRECISION,
    OUTROS       DOUBLE PRECISION,
    OBSERVACOES  VARCHAR(50) CHARACTER SET WIN1252,
    SITUACAO     VARCHAR(20) CHARACTER SET WIN1252,
    INICIO       DATE NOT NULL,
    FIM          DATE -- null: open-ended
);

-- The period filter bounds both ends of a contract.
CREATE INDEX CONTRATOS_INICIO ON CONTRATOS (INICIO);
CREATE INDEX CONTRATOS_FIM ON CONTRATOS (FIM);

SET TERM ^ ;

-- The contracts administered at some time between DT_INI and DT_FIM.
CREATE PROCEDURE TAVIM (DT_INI DATE, DT_FIM DATE)
RETURNS (
    PROPRIETARIO VARCHAR(50) CHARACTER SET WIN1252,
    IMOVEL       VARCHAR(90) CHARACTER SET WIN1252,
    INQUILINO    VARCHAR(50) CHARACTER SET WIN1252,
    ALUGUEL      DOUBLE PRECISION,
    TAXA_ADM     DOUBLE PRECISION,
    OUTROS       DOUBLE PRECISION,
    OBSERVACOES  VARCHAR(50) CHARACTER SET WIN1252,
    SITUACAO     VARCHAR(20) CHARACTER SET WIN1252
)
AS
BEGIN
    FOR SELECT PROPRIETARIO, IMOVEL, INQUILINO, ALUGUEL, TAXA_ADM, OUTROS,
               OBSERVACOES, SITUACAO
        FROM CONTRATOS
        WHERE INICIO <= :DT_FIM AND (FIM IS NULL OR FIM >= :DT_INI)
        ORDER BY PROPRIETARIO, ID
        INTO :PROPRIETARIO, :IMOVEL, :INQUILINO, :ALUGUEL, :TAXA_ADM, :OUTROS,
             :OBSERVACOES, :SITUACAO
    DO
        SUSPEND;
END^

SET TERM ; ^
