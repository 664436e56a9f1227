-- The material editor's database with a material value held as a text that
-- is no number: the editor must refuse it, not read it as 0.
SET NAMES utf8mb4;
ALTER TABLE materialy MODIFY rm VARCHAR(32) NULL;
UPDATE materialy SET rm = 'abc' WHERE id = 2;
