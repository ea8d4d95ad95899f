-- The catalogue objects of SQL Server and Access over SQLite's own, for the
-- dialect tests' copy of the demo district. Which of them a run may see is the
-- harness's to decide (DialectRules.cpp).
CREATE VIEW sysobjects AS
SELECT m.rowid AS id, m.name AS name, CASE m.type WHEN 'table' THEN 'U' ELSE 'V' END AS xtype
FROM sqlite_master AS m
WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite%';

CREATE VIEW syscolumns AS
SELECT m.rowid AS id, p.name AS name
FROM sqlite_master AS m, pragma_table_info(m.name) AS p
WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite%'
  AND m.name NOT IN ('sysobjects', 'syscolumns', 'MSysObjects', 'all_tab_columns');

-- Access lists its tables with Type 1 and Flags 0; the demo's views stand in for linked tables.
CREATE VIEW MSysObjects AS
SELECT m.name AS Name, 1 AS Type, 0 AS Flags
FROM sqlite_master AS m
WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite%';
