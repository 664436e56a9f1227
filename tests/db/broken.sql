-- A material database whose constants table is missing: every statement that
-- joins it fails on the server.
SET NAMES utf8mb4;
DROP TABLE spojeni;
DROP TABLE ppol;
CREATE TABLE spojeni (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  id_materialy INT NOT NULL, id_teplota INT NOT NULL, id_rovnice INT NOT NULL,
  id_ppn INT NOT NULL, id_ppol INT NOT NULL
);
INSERT INTO spojeni (id_materialy, id_teplota, id_rovnice, id_ppn, id_ppol) VALUES (1, 1, 1, 1, 1);
