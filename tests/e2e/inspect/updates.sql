CREATE TABLE SoftBase(Key text, DisplayName text, Publisher text, SoftName text, MainExeName text, VerCompareNum text, PreciseMainKey text, MainRegKey text, ICON text);
CREATE TABLE SoftDownInfo(Key text, LanID int, bit int, Version text, OutURL text, OutFileSize text, OutMD5 text, InURL text, InFileSize text, InMD5 text, InstallerType text, Param text, DownURL text, OsType text);
INSERT INTO SoftBase VALUES('{APP}','Vendor App','Vendor Software Inc.','','app.exe','','','','0000010001000101000001002000300000001600000028000000010000000200000001002000000000000800000000000000000000000000000000000000204060FF00000000');
INSERT INTO SoftDownInfo VALUES('{APP}',1,0,'5.2.3','https://dl/app.exe','1234','','','','','exe','','https://vendor/app','');
INSERT INTO SoftBase VALUES('{OLD}','Old Tool','Tools Ltd','','','','','','');
INSERT INTO SoftDownInfo VALUES('{OLD}',1,0,'1.0','u','','','','','','','','','');
