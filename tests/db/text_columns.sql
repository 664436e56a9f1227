-- A material database whose constants are texts, as a schema that is not
-- ours may hold them: each material 10..17 at 20 °C has its own pol_a (and
-- materials 18..20 their own temperatures, as texts).
SET NAMES utf8mb4;
ALTER TABLE rovnice MODIFY pol_a VARCHAR(32) NULL;
ALTER TABLE teplota MODIFY teplo VARCHAR(32) NULL;
INSERT INTO teplota (id, teplo) VALUES (10, '20.5'), (11, '1e1'), (12, ' 30 ');
INSERT INTO materialy (id, nazev, rm, rp, a5, z) VALUES
  (10, 'inf', 1, 1, 1, 1), (11, 'nan', 1, 1, 1, 1), (12, '1e999', 1, 1, 1, 1), (13, 'abc', 1, 1, 1, 1),
  (14, '1,5', 1, 1, 1, 1), (15, 'text 812.5', 1, 1, 1, 1), (16, 'NULL', 1, 1, 1, 1),
  (17, 'exponent', 1, 1, 1, 1), (18, 'teplota 20.5', 1, 1, 1, 1),
  (19, 'teplota 1e1', 1, 1, 1, 1), (20, 'teplota 30', 1, 1, 1, 1);
INSERT INTO rovnice (id, fimax, fistr, pol_a) VALUES
  (10, 1, 1, 'inf'), (11, 1, 1, 'nan'), (12, 1, 1, '1e999'), (13, 1, 1, 'abc'), (14, 1, 1, '1,5'),
  (15, 1, 1, '812.5'), (16, 1, 1, NULL), (17, 1, 1, '-2.5e2');
INSERT INTO spojeni (id_materialy, id_teplota, id_rovnice, id_ppn, id_ppol) VALUES
  (10, 1, 10, 1, 1), (11, 1, 11, 1, 1), (12, 1, 12, 1, 1), (13, 1, 13, 1, 1), (14, 1, 14, 1, 1),
  (15, 1, 15, 1, 1), (16, 1, 16, 1, 1), (17, 1, 17, 1, 1), (18, 10, 1, 1, 1),
  (19, 11, 1, 1, 1), (20, 12, 1, 1, 1);
