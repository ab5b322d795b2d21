// Below everything: no cycle here.
