library ieee; use ieee.std_logic_1164.all;
entity tb is end tb;
architecture run of tb is
  signal x0, x1, x2, x3, x4 : std_logic;
@DECLARATIONS@  signal y : std_logic_vector(0 to @LAST@);
  type table is array (0 to @LAST@) of string(1 to 32);
  constant expected : table := (@EXPECTED@);
begin
@BODY@  process
  begin
    for k in 0 to 31 loop
      if k mod 2 = 1 then x0 <= '1'; else x0 <= '0'; end if;
      if (k / 2) mod 2 = 1 then x1 <= '1'; else x1 <= '0'; end if;
      if (k / 4) mod 2 = 1 then x2 <= '1'; else x2 <= '0'; end if;
      if (k / 8) mod 2 = 1 then x3 <= '1'; else x3 <= '0'; end if;
      if (k / 16) mod 2 = 1 then x4 <= '1'; else x4 <= '0'; end if;
      wait for 1 ns;
      for o in 0 to @LAST@ loop
        assert (y(o) = '1') = (expected(o)(k + 1) = '1')
          report "mismatch on output " & integer'image(o) & " at " & integer'image(k)
          severity failure;
      end loop;
    end loop;
    report "all combinations checked";
    wait;
  end process;
end run;
