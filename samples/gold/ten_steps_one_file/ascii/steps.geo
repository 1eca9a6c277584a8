BEGIN TIME STEP
geometry written by make_gold_samples.py
step 1
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.00000e+01
 1.00000e+01
 1.00000e+01
 1.00000e+01
 1.00000e+01
 1.00000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 2
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 5.00000e-01
 5.00000e-01
 5.00000e-01
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.05000e+01
 1.05000e+01
 1.05000e+01
 1.05000e+01
 1.05000e+01
 1.05000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 3
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 1.00000e+00
 1.00000e+00
 1.00000e+00
 1.00000e+00
 1.00000e+00
 1.00000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.10000e+01
 1.10000e+01
 1.10000e+01
 1.10000e+01
 1.10000e+01
 1.10000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 4
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 1.50000e+00
 1.50000e+00
 1.50000e+00
 1.50000e+00
 1.50000e+00
 1.50000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.15000e+01
 1.15000e+01
 1.15000e+01
 1.15000e+01
 1.15000e+01
 1.15000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 5
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.20000e+01
 1.20000e+01
 1.20000e+01
 1.20000e+01
 1.20000e+01
 1.20000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 6
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.50000e+00
 2.50000e+00
 2.50000e+00
 2.50000e+00
 2.50000e+00
 2.50000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.25000e+01
 1.25000e+01
 1.25000e+01
 1.25000e+01
 1.25000e+01
 1.25000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 7
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 3.00000e+00
 3.00000e+00
 3.00000e+00
 3.00000e+00
 3.00000e+00
 3.00000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.30000e+01
 1.30000e+01
 1.30000e+01
 1.30000e+01
 1.30000e+01
 1.30000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 8
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 3.50000e+00
 3.50000e+00
 3.50000e+00
 3.50000e+00
 3.50000e+00
 3.50000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.35000e+01
 1.35000e+01
 1.35000e+01
 1.35000e+01
 1.35000e+01
 1.35000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 9
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 4.00000e+00
 4.00000e+00
 4.00000e+00
 4.00000e+00
 4.00000e+00
 4.00000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.40000e+01
 1.40000e+01
 1.40000e+01
 1.40000e+01
 1.40000e+01
 1.40000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
BEGIN TIME STEP
geometry written by make_gold_samples.py
step 10
node id off
element id off
part
         1
lines
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 2.00000e+00
 2.50000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 2.00000e+00
 4.50000e+00
 4.50000e+00
 4.50000e+00
 4.50000e+00
 4.50000e+00
 4.50000e+00
bar3
         2
         3         5         4
         5         6         6
bar2
         2
         1         2
         2         3
part
         2
two triangle blocks
coordinates
         6
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 1.45000e+01
 1.45000e+01
 1.45000e+01
 1.45000e+01
 1.45000e+01
 1.45000e+01
tria3
         2
         1         2         5
         1         5         4
g_tria3
         1
         2         3         6
END TIME STEP
