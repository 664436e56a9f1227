-- Test fixture of the material database: known constants and the odd cases.
SET NAMES utf8mb4;

INSERT INTO teplota (id, teplo) VALUES (1, 20), (2, 100), (3, 200), (4, 40000), (5, -20);

INSERT INTO materialy (id, nazev, rm, rp, a5, z) VALUES
  (1, 'Zkušební ocel', 600, 350, 20, 50),   -- the worked examples: Polytropa 800/0.2, work 0.6667/1.2
  (2, 'Bez teplot', 400, 250, 30, 60),      -- no link rows
  (3, 'Dvakrát', 500, 300, 25, 55),         -- temperature 20 linked twice
  (4, NULL, NULL, NULL, NULL, NULL),        -- NULL name and NULL constants
  (5, 'Horká', 450, 280, 28, 58),           -- a temperature of 40000
  (6, 'Oba zákony', 550, 330, 22, 52);      -- ppn and ppol both present

-- fimax, fistr, pol_a..c, pn3_0..3, pn5_0..5, rlff_0..9, rlfd_0..9
INSERT INTO rovnice VALUES
  (1, 1.4, 0.8, 800, 0.2, 0, 500, 300, -100, 20, 450, 500, -400, 250, -80, 10,
      300, 1400, -3000, 4500, -3800, 1700, -310, 0.5, 0.25, 0.125,
      35.6824823, 0, 0, 0, 0, 0, 0, 0, 0, 0.001),
  (2, 1.3, 0.8, 760, 0.19, 5, 480, 290, -95, 19, 0, 480, -380, 240, -75, 9,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      40, 1, 0, 0, 0, 0, 0, 0, 0, 0),
  (3, 1.2, 0.7, 0, 0.18, 0, 0, 280, -90, 18, 420, 470, -370, 230, -70, 8,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
  (4, 1.5, 0.8, 700, 0.21, 0, 400, 250, -80, 15, 380, 420, -330, 200, -60, 7,
      250, 1200, -2500, 4000, -3400, 1500, -280, 0, 0, 0,
      35.6824823, 0, 0, 0, 0, 0, 0, 0, 0, 0),
  (5, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
      NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
      NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (6, 1.4, 0.8, 820, 0.2, 0, 510, 0, 0, 0, 460, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
  (7, 1.4, 0.8, 830, 0.2, 0, 520, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0);

INSERT INTO ppn VALUES
  (1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
  (2, 0.5, 0.1, 0.02, 0.003, 0.0004, 0.00005, 0.000006, 0.0000007, 0.00000008, 0.000000009),
  (3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);

INSERT INTO ppol VALUES
  (1, 0.6667, 1.2, 0),
  (2, 0.65, 1.19, 0.01),
  (3, NULL, NULL, NULL);

-- material, temperature, rovnice, ppn, ppol
INSERT INTO spojeni (id_materialy, id_teplota, id_rovnice, id_ppn, id_ppol) VALUES
  (1, 1, 1, 1, 1),
  (1, 2, 2, 1, 2),
  (1, 3, 4, 2, 1),
  (3, 1, 6, 1, 1),
  (3, 1, 7, 1, 2),
  (3, 2, 3, 1, 1),
  (4, 1, 5, 3, 3),
  (5, 4, 4, 1, 1),
  (5, 5, 1, 1, 1),
  (6, 1, 1, 2, 1);
