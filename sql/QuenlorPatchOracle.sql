-- Patch 1.2.1 of the Quenlor database, Oracle: failed sign-in counting and a
-- log of sign-in attempts. Oracle has no IF NOT EXISTS, so each batch is a
-- PL/SQL block that looks in the data dictionary first; the patch runs again
-- and again on an up-to-date database.
DECLARE
    n NUMBER;
BEGIN
    SELECT COUNT(*) INTO n FROM user_tab_columns
     WHERE table_name = 'ACCOUNTS' AND column_name = 'FAILED_LOGINS';
    IF n = 0 THEN
        EXECUTE IMMEDIATE 'ALTER TABLE accounts ADD (failed_logins NUMBER(10) DEFAULT 0 NOT NULL)';
    END IF;
    SELECT COUNT(*) INTO n FROM user_tab_columns
     WHERE table_name = 'ACCOUNTS' AND column_name = 'LOCKED_UNTIL';
    IF n = 0 THEN
        EXECUTE IMMEDIATE 'ALTER TABLE accounts ADD (locked_until DATE)';
    END IF;
END;
GO
DECLARE
    n NUMBER;
BEGIN
    SELECT COUNT(*) INTO n FROM user_tables WHERE table_name = 'LOGIN_ATTEMPTS';
    IF n = 0 THEN
        EXECUTE IMMEDIATE 'CREATE TABLE login_attempts ('
            || ' attempt_id NUMBER(19) NOT NULL,'
            || ' login VARCHAR2(64) NOT NULL,'
            || ' client_address VARCHAR2(45) NOT NULL,'
            || ' attempted_at DATE DEFAULT SYSDATE NOT NULL,'
            || ' succeeded NUMBER(5) DEFAULT 0 NOT NULL,'
            || ' CONSTRAINT pk_login_attempts PRIMARY KEY (attempt_id))';
        EXECUTE IMMEDIATE 'CREATE INDEX ix_login_attempts_login ON login_attempts (login, attempted_at)';
    END IF;
    SELECT COUNT(*) INTO n FROM user_sequences WHERE sequence_name = 'SEQ_LOGIN_ATTEMPTS';
    IF n = 0 THEN
        EXECUTE IMMEDIATE 'CREATE SEQUENCE seq_login_attempts START WITH 1 INCREMENT BY 1';
    END IF;
END;
GO
MERGE INTO settings s
USING (SELECT 'security.max_failed_logins' k, '5' v,
              'Failed sign-ins before an account is locked' d FROM dual
       UNION ALL
       SELECT 'security.lock_minutes', '15',
              'How long a locked account stays locked' FROM dual) x
   ON (s.setting_key = x.k)
 WHEN NOT MATCHED THEN
      INSERT (setting_key, setting_value, description) VALUES (x.k, x.v, x.d)
GO
MERGE INTO schema_version s
USING (SELECT '1.2.1' v, 'Failed sign-in counting and sign-in attempts' d FROM dual) x
   ON (s.version = x.v)
 WHEN NOT MATCHED THEN
      INSERT (version, description) VALUES (x.v, x.d)
GO
