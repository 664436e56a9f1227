-- Material database of Prolis: the six tables the program reads.
-- The program only reads; keys and types beyond these names are free.
SET NAMES utf8mb4;

CREATE TABLE materialy (
  id INT NOT NULL PRIMARY KEY,
  nazev VARCHAR(100) NULL,
  rm DOUBLE NULL,
  rp DOUBLE NULL,
  a5 DOUBLE NULL,
  z DOUBLE NULL,
  -- MatEdit looks a material up by its name at every save and import. A
  -- prefix of the name: a whole-name index would hold every column Prolis's
  -- list of materials reads, and the server would then list them by name
  -- instead of in the table's own order.
  KEY materialy_nazev (nazev(32))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE teplota (
  id INT NOT NULL PRIMARY KEY,
  teplo INT NULL,
  KEY teplota_teplo (teplo)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE rovnice (
  id INT NOT NULL PRIMARY KEY,
  fimax DOUBLE NULL,
  fistr DOUBLE NULL,
  pol_a DOUBLE NULL,
  pol_b DOUBLE NULL,
  pol_c DOUBLE NULL,
  pn3_0 DOUBLE NULL,
  pn3_1 DOUBLE NULL,
  pn3_2 DOUBLE NULL,
  pn3_3 DOUBLE NULL,
  pn5_0 DOUBLE NULL,
  pn5_1 DOUBLE NULL,
  pn5_2 DOUBLE NULL,
  pn5_3 DOUBLE NULL,
  pn5_4 DOUBLE NULL,
  pn5_5 DOUBLE NULL,
  rlff_0 DOUBLE NULL,
  rlff_1 DOUBLE NULL,
  rlff_2 DOUBLE NULL,
  rlff_3 DOUBLE NULL,
  rlff_4 DOUBLE NULL,
  rlff_5 DOUBLE NULL,
  rlff_6 DOUBLE NULL,
  rlff_7 DOUBLE NULL,
  rlff_8 DOUBLE NULL,
  rlff_9 DOUBLE NULL,
  rlfd_0 DOUBLE NULL,
  rlfd_1 DOUBLE NULL,
  rlfd_2 DOUBLE NULL,
  rlfd_3 DOUBLE NULL,
  rlfd_4 DOUBLE NULL,
  rlfd_5 DOUBLE NULL,
  rlfd_6 DOUBLE NULL,
  rlfd_7 DOUBLE NULL,
  rlfd_8 DOUBLE NULL,
  rlfd_9 DOUBLE NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE ppn (
  id INT NOT NULL PRIMARY KEY,
  ppn_0 DOUBLE NULL,
  ppn_1 DOUBLE NULL,
  ppn_2 DOUBLE NULL,
  ppn_3 DOUBLE NULL,
  ppn_4 DOUBLE NULL,
  ppn_5 DOUBLE NULL,
  ppn_6 DOUBLE NULL,
  ppn_7 DOUBLE NULL,
  ppn_8 DOUBLE NULL,
  ppn_9 DOUBLE NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE ppol (
  id INT NOT NULL PRIMARY KEY,
  ppol_a DOUBLE NULL,
  ppol_b DOUBLE NULL,
  ppol_c DOUBLE NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- One row per material-temperature combination for which constants exist.
CREATE TABLE spojeni (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  id_materialy INT NOT NULL,
  id_teplota INT NOT NULL,
  id_rovnice INT NOT NULL,
  id_ppn INT NOT NULL,
  id_ppol INT NOT NULL,
  CONSTRAINT fk_spojeni_materialy FOREIGN KEY (id_materialy) REFERENCES materialy (id),
  CONSTRAINT fk_spojeni_teplota FOREIGN KEY (id_teplota) REFERENCES teplota (id),
  CONSTRAINT fk_spojeni_rovnice FOREIGN KEY (id_rovnice) REFERENCES rovnice (id),
  CONSTRAINT fk_spojeni_ppn FOREIGN KEY (id_ppn) REFERENCES ppn (id),
  CONSTRAINT fk_spojeni_ppol FOREIGN KEY (id_ppol) REFERENCES ppol (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
